#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The manual pages made by pandoc, rendered by man as a terminal of 80
# columns shows them: no warning from groff, and each page has the sections
# a reader looks for.
# usage: man_render_test.sh PAGE.1...
set -u
command -v man >/dev/null || { echo "SKIP: man is not installed"; exit 77; }
failures=0
for page in "$@"; do
  [ -f "$page" ] || { echo "SKIP: $page was not made (pandoc is not installed)"; exit 77; }
  text="$(MANWIDTH=80 man --warnings -l "$page" 2>"$page.warnings")"
  if [ -s "$page.warnings" ]; then
    echo "FAIL: man warns about $page:"
    cat "$page.warnings"
    failures=$((failures + 1))
  fi
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES EXAMPLES "SEE ALSO"; do
    grep -qx "$section" <<<"$text" && continue
    echo "FAIL: $page has no section $section"
    failures=$((failures + 1))
  done
  long="$(awk 'length > 80' <<<"$text")"
  if [ -n "$long" ]; then
    echo "FAIL: $page has lines wider than 80 columns:"
    echo "$long"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ] || exit 1
echo "$# pages render without a warning"
