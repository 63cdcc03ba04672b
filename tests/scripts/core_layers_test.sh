#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The core's groups in the order they may use each other (core/CMakeLists.txt
# says why): a file of one group includes only its own group's headers and
# those of the groups before it, each spelt with its group ("text/name.h",
# "quarvo/text/name.h"). Every include of the core that runs back up, or
# names no group, is listed and fails the test.
set -uo pipefail
core="$1"  # the core folder
order=(base text files profile viewer model report formats engine conversions)

rank() {
  local i
  for i in "${!order[@]}"; do
    [ "${order[$i]}" = "$1" ] && { echo "$i"; return; }
  done
  echo -1
}

failures=0
while IFS= read -r file; do
  relative="${file#"$core"/}"
  relative="${relative#include/quarvo/}"
  group="${relative%%/*}"
  from=$(rank "$group")
  if [ "$from" -lt 0 ]; then
    echo "FAIL: $file is in no group of the core"
    failures=$((failures + 1))
    continue
  fi
  while IFS= read -r included; do
    target="${included#quarvo/}"
    to=$(rank "${target%%/*}")
    if [ "$to" -lt 0 ] || [ "${target%%/*}" = "$target" ]; then
      echo "FAIL: $relative includes \"$included\", which names no group"
      failures=$((failures + 1))
    elif [ "$to" -gt "$from" ]; then
      echo "FAIL: $relative ($group) includes \"$included\" (${target%%/*}), a group above it"
      failures=$((failures + 1))
    fi
  done < <(sed -n -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^"]+)".*/\1/p' "$file")
done < <(find "$core" -name '*.h' -o -name '*.cpp' | sort)

if [ "$failures" -ne 0 ]; then
  echo "$failures include(s) out of order"
  exit 1
fi
echo "core layers: every include runs down"
