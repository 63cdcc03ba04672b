#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Draws the program's own pictures with ImageMagick: the 20 pictures of the
# image list, the toolbar glyphs with their disabled images, the logo and the
# desktop icon. Each picture is drawn four times larger and scaled down, so
# the small ones keep smooth edges. Run it again after changing a drawing.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
list="$here/images/imagelist"
glyphs="$here/images/glyphs"
mkdir -p "$list" "$glyphs" "$here/desktop"
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# icon INDEX DRAW-ARGS...: a 64x64 drawing scaled to 16x16.
icon() {
  local index=$1; shift
  convert -size 64x64 xc:none "$@" -resize 16x16 "PNG32:$list/$(printf %02d "$index").png"
}

page='-fill white -stroke #404040 -strokewidth 3 -draw "polygon 12,4 40,4 52,16 52,60 12,60"'

icon 0 -fill '#cfe8ff' -stroke '#1f3f7f' -strokewidth 6 -draw 'circle 26,26 26,8' \
       -stroke '#5a3a1a' -strokewidth 10 -draw 'line 39,39 58,58'
icon 1 -fill '#2ea043' -stroke '#145a22' -strokewidth 3 -draw 'polygon 6,20 34,20 34,6 60,32 34,58 34,44 6,44'
icon 2 -fill white -stroke '#404040' -strokewidth 3 -draw 'polygon 12,4 40,4 52,16 52,60 12,60' \
       -fill '#d0d0d0' -draw 'polygon 40,4 40,16 52,16'
icon 3 -fill '#e8b828' -stroke '#7a5a00' -strokewidth 3 -draw 'polygon 4,14 24,14 30,20 60,20 60,56 4,56' \
       -fill '#f7d35a' -draw 'polygon 4,56 14,30 62,30 52,56'
icon 4 -fill '#e0e0e0' -stroke '#404040' -strokewidth 3 -draw 'rectangle 6,4 38,44' \
       -fill white -draw 'rectangle 24,20 58,60'
icon 5 -fill none -stroke '#202020' -strokewidth 5 -draw 'circle 18,48 18,38' -draw 'circle 46,48 46,38' \
       -stroke '#808080' -strokewidth 6 -draw 'line 22,40 48,4' -draw 'line 42,40 16,4'
icon 6 -fill '#b07a3a' -stroke '#5a3a1a' -strokewidth 3 -draw 'rectangle 8,8 50,60' \
       -fill white -stroke '#404040' -draw 'rectangle 22,22 58,62' -fill '#c0c0c0' -draw 'rectangle 20,4 38,14'
icon 7 -fill '#d9302c' -stroke '#7a1010' -strokewidth 3 -draw 'circle 32,32 32,4' \
       -stroke white -strokewidth 9 -draw 'line 20,20 44,44' -draw 'line 44,20 20,44'
icon 8 -fill '#2f6fd0' -stroke '#123a7a' -strokewidth 3 -draw 'polygon 4,28 26,8 26,20 58,20 58,44 26,44 26,52' 
icon 9 -fill '#2f6fd0' -stroke '#123a7a' -strokewidth 3 -draw 'polygon 60,28 38,8 38,20 6,20 6,44 38,44 38,52'
icon 10 -fill '#fff4a8' -stroke '#8a7400' -strokewidth 3 -draw 'roundrectangle 4,4 60,42 12,12' \
        -draw 'polygon 16,40 12,60 32,40' -stroke none -fill '#fff4a8' -draw 'rectangle 16,36 30,42' \
        -fill '#2f6fd0' -draw 'circle 32,12 32,8' -draw 'rectangle 28,18 36,34'
icon 11 -fill none -stroke '#2ea043' -strokewidth 8 -draw 'arc 8,8 56,56 -60,220' \
        -fill '#2ea043' -stroke '#145a22' -strokewidth 2 -draw 'polygon 40,2 62,14 40,30'
icon 12 -fill white -stroke '#404040' -strokewidth 3 -draw 'rectangle 16,4 48,24' \
        -fill '#a0a0a0' -draw 'roundrectangle 4,22 60,50 6,6' -fill white -draw 'rectangle 16,40 48,60'
floppy=(-fill '#2f5fb0' -stroke '#102a5a' -strokewidth 3 -draw 'polygon 4,4 52,4 60,12 60,60 4,60'
        -fill white -draw 'rectangle 14,4 46,24' -fill '#d8d8d8' -draw 'rectangle 14,38 50,60'
        -fill '#2f5fb0' -stroke none -draw 'rectangle 36,8 42,20')
icon 13 "${floppy[@]}" -fill '#f0c030' -stroke '#6a4a00' -strokewidth 2 -draw 'polygon 30,58 36,46 60,22 64,28 42,52'
icon 14 "${floppy[@]}"
icon 15 -fill '#ffe04a' -stroke '#8a7400' -strokewidth 3 -draw 'circle 32,24 32,4' \
        -fill '#a0a0a0' -stroke '#505050' -draw 'rectangle 22,44 42,60'
icon 16 -fill '#2f6fd0' -stroke '#123a7a' -strokewidth 3 -draw 'circle 32,32 32,3' \
        -fill white -stroke none -font "$bold" -pointsize 46 -gravity center -annotate +0+2 '?'
icon 17 -fill '#2f6fd0' -stroke '#123a7a' -strokewidth 3 -draw 'circle 32,32 32,3' \
        -fill white -stroke none -draw 'circle 32,17 32,11' -draw 'rectangle 27,26 37,52'
icon 18 -fill '#f4e6c8' -stroke '#6a5a3a' -strokewidth 3 -draw 'roundrectangle 2,8 62,56 6,6' \
        -fill '#c0502a' -stroke none -draw 'circle 20,26 20,17' -draw 'ellipse 20,50 13,14 180,360' \
        -fill '#6a5a3a' -draw 'rectangle 38,22 56,26' -draw 'rectangle 38,32 56,36' -draw 'rectangle 38,42 52,46'
icon 19 -fill '#8a3a2a' -stroke '#4a1a10' -strokewidth 3 -draw 'rectangle 8,4 52,60' \
        -fill '#f0f0e0' -draw 'rectangle 14,4 52,56' \
        -fill '#f7c200' -stroke '#8a6400' -strokewidth 2 \
        -draw 'polygon 33,12 38,26 52,26 41,35 45,50 33,41 21,50 25,35 14,26 28,26'

# Toolbar glyphs: the normal image is the image-list picture of the same
# action, the disabled one a pale grey copy of it.
glyph() {
  local name=$1 index=$2
  cp "$list/$(printf %02d "$index").png" "$glyphs/$name.png"
  convert "$glyphs/$name.png" -channel RGB -colorspace gray -fill white -colorize 55% +channel \
    "PNG32:$glyphs/${name}_disabled.png"
}
glyph help 16
glyph contacts 18
glyph bookmarks 19
glyph start 1
glyph about 17
glyph exit 7

# The logo: a browser's data file turned by an arrow into an address card
# and a bookmark star, the two things the program carries out of it.
convert -size 420x356 gradient:'#eaf4ff'-'#9cc4ee' \
  -fill white -stroke '#404040' -strokewidth 5 -draw 'polygon 40,40 140,40 176,76 176,220 40,220' \
  -fill '#d0d0d0' -draw 'polygon 140,40 140,76 176,76' \
  -stroke '#6080b0' -strokewidth 8 -draw 'line 62,100 154,100' -draw 'line 62,130 154,130' \
  -draw 'line 62,160 154,160' -draw 'line 62,190 120,190' \
  -fill '#2ea043' -stroke '#145a22' -strokewidth 5 -draw 'polygon 190,110 260,110 260,80 320,140 260,200 260,170 190,170' \
  -fill '#f4e6c8' -stroke '#6a5a3a' -strokewidth 5 -draw 'roundrectangle 300,40 404,120 10,10' \
  -fill '#f7c200' -stroke '#8a6400' -strokewidth 4 -draw 'polygon 352,160 364,190 396,190 370,210 380,242 352,222 324,242 334,210 308,190 340,190' \
  -fill '#c0502a' -stroke none -draw 'circle 330,70 330,56' \
  -fill '#1f3f7f' -font "$bold" -pointsize 64 -gravity south -annotate +0+24 'Quarvo' \
  -quality 90 "$here/images/logo.jpg"

# The desktop icon: the start-conversion arrow on a card.
convert -size 256x256 xc:none \
  -fill '#2f6fd0' -stroke '#123a7a' -strokewidth 8 -draw 'roundrectangle 12,12 244,244 40,40' \
  -fill white -stroke none -font "$bold" -pointsize 150 -gravity center -annotate +0-10 'Q' \
  -fill '#2ea043' -stroke '#145a22' -strokewidth 6 -draw 'polygon 120,170 190,170 190,146 240,196 190,246 190,222 120,222' \
  \( +clone -resize 64x64 -write "PNG32:$here/desktop/quarvo-64.png" +delete \) \
  "PNG32:$here/desktop/quarvo-256.png"
