#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The manual page of quarvo-convert against its --help: every option that
# --help names has its entry in the page, every entry is an option that
# --help still names, and every value a usage line offers is in the page.
# usage: man_page_options_test.sh PATH-TO-quarvo-convert PAGE.md
set -u
tool="$1" page="$2"
help="$("$tool" --help)" || { echo "FAIL: $tool --help failed"; exit 1; }
failures=0

# Options as --help writes them; "./--name" is a file name, not an option.
in_help="$(grep -oP '(?<![\w./-])--[a-z][a-z0-9-]*' <<<"$help" | sort -u)"
# An option's entry in the page is a line that starts with it in bold.
in_page="$(grep -oP '^\*\*\K--[a-z][a-z0-9-]*(?=\*\*)' "$page" | sort -u)"
[ -n "$in_help" ] || { echo "FAIL: no option found in --help"; exit 1; }

while read -r option; do
  echo "FAIL: $option is in --help but has no entry in $page (a line starting **$option**)"
  failures=$((failures + 1))
done < <(comm -23 <(echo "$in_help") <(echo "$in_page"))
while read -r option; do
  echo "FAIL: $page has an entry for $option, which --help does not name"
  failures=$((failures + 1))
done < <(comm -13 <(echo "$in_help") <(echo "$in_page"))

# The fixed values of the usage lines ("--layout wab|outlook|..."), each
# in bold somewhere in the page.
usage="$(sed '/^$/q' <<<"$help")"
values="$(grep -oP -- '--[a-z][a-z0-9-]* \K[a-z0-9.-]+(\|[a-z0-9.-]+)+' <<<"$usage" | tr '|' '\n' | sort -u)"
[ -n "$values" ] || { echo "FAIL: no option with fixed values found in the usage lines"; exit 1; }
while read -r value; do
  grep -qF "**$value**" "$page" && continue
  echo "FAIL: the value $value of the usage lines is not in $page (as **$value**)"
  failures=$((failures + 1))
done <<<"$values"

[ "$failures" -eq 0 ] || exit 1
echo "$(wc -l <<<"$in_help") options and $(wc -l <<<"$values") values of --help are in the page"
