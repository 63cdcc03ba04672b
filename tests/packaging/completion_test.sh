#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The bash completion of quarvo-convert, through bash-completion as a shell
# loads it, against the program's --help: every option is offered, each
# option's fixed values are its values, an Opera input gets .adr files and
# folders, an output any file.
# usage: completion_test.sh PATH-TO-quarvo-convert COMPLETION-FILE
set -u
tool="$1" completion="$2"
bash_completion=/usr/share/bash-completion/bash_completion
[ -f "$bash_completion" ] || { echo "SKIP: bash-completion is not installed"; exit 77; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir folder
touch contacts.adr OPERA6.ADR "two words.adr" out.csv notes.txt

# Completes the words given, the last being the word under the cursor;
# prints the offers sorted, one per line.
offers() {
  bash -c '
    source "$1"; source "$2"; shift 2
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    _quarvo_convert quarvo-convert "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    printf "%s\n" "${COMPREPLY[@]}"' _ "$bash_completion" "$completion" "$tool" "$@" | sort
}
failures=0
check() {  # description, expected, actual
  [ "$2" = "$3" ] && return
  echo "FAIL: $1: expected [$(echo "$2" | paste -sd' ')], got [$(echo "$3" | paste -sd' ')]"
  failures=$((failures + 1))
}
lines() { printf '%s\n' "$@" | sort; }

help="$("$tool" --help)"
options="$(grep -oP '(?<![\w./-])--[a-z][a-z0-9-]*' <<<"$help" | sort -u)"
check "every option of --help, at an empty word" "$options" "$(offers '')"
check "the options that start so" "$(lines --find --flavour --force)" "$(offers --f)"

# Each option whose usage lists its values is completed with those values.
usage="$(sed '/^$/q' <<<"$help")"
choices="$(grep -oP -- '--[a-z][a-z0-9-]* [a-z0-9.-]+(\|[a-z0-9.-]+)+' <<<"$usage")"
grep -q '^--layout ' <<<"$choices" || check "--layout's values found in the usage" "--layout ..." "$choices"
while read -r option values; do
  check "the values of $option" "$(tr '|' '\n' <<<"$values" | sort)" "$(offers "$option" '')"
done <<<"$choices"

check "an Opera input: .adr files, whatever their case, and folders" \
  "$(lines OPERA6.ADR contacts.adr folder "two words.adr")" "$(offers --contacts '')"
check "a name with a blank stays one offer" "two words.adr" "$(offers --bookmarks tw)"
check "an output: any file" \
  "$(lines OPERA6.ADR contacts.adr folder notes.txt out.csv "two words.adr")" \
  "$(offers --contacts contacts.adr '')"
check "after an option's values, the options not given yet" \
  "$(grep -vx -e --contacts -e --layout <<<"$options")" \
  "$(offers --contacts contacts.adr out.csv --layout google '')"

[ "$failures" -eq 0 ] || exit 1
echo "completion offers the $(wc -l <<<"$options") options of --help and their values"
