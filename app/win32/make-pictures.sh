#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Turns the program's pictures (resources/images) into what the resource
# compiler takes: 24-bit bitmaps, the strips of 16 by 16 pictures with
# magenta where they are transparent, and the icon.
#   make-pictures.sh RESOURCES OUTPUT
set -euo pipefail
resources="$1"
out="$2"
images="$resources/images"
mkdir -p "$out"

# strip OUTPUT PNG...: the pictures side by side; a pixel is either drawn or
# transparent, as an image list's mask has it.
strip() {
  local output=$1
  shift
  convert "$@" +append -channel A -threshold 50% +channel \
    -background magenta -alpha remove -alpha off "BMP3:$out/$output"
}

glyphs=() disabled=()
for name in help contacts bookmarks start about exit; do
  glyphs+=("$images/glyphs/$name.png")
  disabled+=("$images/glyphs/${name}_disabled.png")
done
strip toolbar.bmp "${glyphs[@]}"
strip toolbar_disabled.bmp "${disabled[@]}"
strip image_list.bmp "$images"/imagelist/[0-9][0-9].png

# The logo stretched to the main and help windows' box; the about window
# does not stretch it, but one larger than its box is scaled down whole,
# keeping its proportions.
convert "$images/logo.jpg" -resize '105x89!' "BMP3:$out/logo.bmp"
convert "$images/logo.jpg" -resize '305x281>' "BMP3:$out/logo_large.bmp"
convert "$images/about_mail.jpg" -resize '121x97!' "BMP3:$out/about_mail.bmp"
convert "$images/under_construction.jpg" -resize '300x279!' "BMP3:$out/under_construction.bmp"
convert "$resources/desktop/quarvo-256.png" -define icon:auto-resize=256,48,32,16 "$out/quarvo.ico"
