#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Two builds of quarvo-convert compared output for output: every newer
# output of each hotlist and contacts file given (the browser flavour with
# and without the trash, the vCards, the CSV layouts and encodings, and
# --report for both bookmark flavours), the files, the printed lines and the
# exit status byte for byte. For a change that must leave every output as
# it was: build the commit before it apart (git archive into a temporary
# folder) and name both programs. Not a ctest test: it needs the other build.
#
#   tests/scripts/compare_outputs.sh OLD_CONVERT NEW_CONVERT FILE.adr...
#
# tests/scripts/random_opera_files.py makes small random files to give it
# beside the corpus and bench/gen's large ones.
#
# Set QUARVO_INDENT_CAP=N to accept, in the browser flavour only, lines the
# old build indented deeper than N levels and the new one exactly N.
set -uo pipefail
old="$1" new="$2"
shift 2
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cap="${QUARVO_INDENT_CAP:-}"
runs=0 differ=0

same_but_indentation() {  # old new: equal but for indentation capped at $cap levels
  [ -n "$cap" ] || return 1
  [ "$(wc -l < "$1")" = "$(wc -l < "$2")" ] || return 1
  paste -d '\t' "$1" "$2" | awk -F'\t' -v cap="$((cap * 4))" '$1 != $2 {
    o = match($1, /[^ ]/) - 1; n = match($2, /[^ ]/) - 1
    if (!(o > cap && n == cap && substr($1, o + 1) == substr($2, n + 1))) exit 1 }'
}

compare() {  # kind(--bookmarks|--contacts) input output-name options...
  local kind="$1" in="$2" name="$3"
  shift 3
  rm -f "$work/old-$name" "$work/new-$name"
  "$old" "$@" "$kind" "$in" "$work/old-$name" > "$work/old.out" 2>&1
  local old_status=$?
  "$new" "$@" "$kind" "$in" "$work/new-$name" > "$work/new.out" 2>&1
  local new_status=$?
  runs=$((runs + 1))
  local ok=1
  [ "$old_status" = "$new_status" ] && cmp -s "$work/old.out" "$work/new.out" || ok=0
  if [ -e "$work/old-$name" ] || [ -e "$work/new-$name" ]; then
    if ! cmp -s "$work/old-$name" "$work/new-$name"; then
      if [[ "$*" == *browser* ]] && same_but_indentation "$work/old-$name" "$work/new-$name"; then :
      else ok=0; fi
    fi
  fi
  if [ "$ok" = 0 ]; then
    echo "differs: $in ($kind $*)"
    differ=$((differ + 1))
  fi
}

for file in "$@"; do
  if grep -q '#CONTACT' "$file"; then
    compare --contacts "$file" out.vcf
    compare --contacts "$file" out.vcf --keep-trash
    compare --contacts "$file" out.vcf --vcard 2.1
    compare --contacts "$file" out.vcf --vcard 2.1 --encoding ansi
    for layout in outlook thunderbird google; do
      compare --contacts "$file" out.csv --layout "$layout"
    done
    compare --contacts "$file" out.csv --encoding ansi --report
    compare --contacts "$file" out.csv --encoding utf8-bom
  fi
  if grep -q -e '#URL' -e '#FOLDER' "$file"; then
    compare --bookmarks "$file" out.htm --flavour browser
    compare --bookmarks "$file" out.htm --flavour browser --keep-trash --report
    compare --bookmarks "$file" out.htm --flavour browser --report
    compare --bookmarks "$file" out.htm --report
  fi
done
echo "$runs runs, $differ differ"
[ "$differ" = 0 ]
