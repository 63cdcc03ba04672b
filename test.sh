#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds everything and runs every test. The extra
# checks (sanitizer build, fuzzing, the Windows build under Wine) live in
# scripts/test.d/ and run first; the main test run comes last so that its
# summary line closes the output.
#
# Every step has a time limit, so the run always ends; when it does not
# pass, its last line says which step stopped it and why.
set -euo pipefail
cd "$(dirname "$0")"
export QUARVO_ROOT="$PWD"
jobs="$(nproc 2>/dev/null || echo 2)"
export QUARVO_JOBS="$jobs"

# Seconds each step may take; a fresh machine needs about a tenth of them.
limit_for() {
  case "$1" in
    install) echo 1200 ;;
    20-sanitizers.sh) echo 900 ;;
    30-fuzz.sh) echo 600 ;;
    35-scalar-scan.sh) echo 900 ;;
    40-windows.sh) echo 1500 ;;
    build) echo 1200 ;;
    tests) echo 900 ;;
    *) echo 900 ;;
  esac
}

# The whole run stays within this many seconds, so that it ends with its
# reason printed before an outer limit (CI's is 90 minutes) cuts it off.
budget="${QUARVO_TEST_BUDGET:-5100}"

# A step's limit: its own, or what is left of the run's budget if less.
# Stops the run when nothing is left.
limit_now() {
  local name=$1 limit left
  limit="$(limit_for "$name")"
  left=$((budget - SECONDS))
  if [ "$left" -le 0 ]; then
    echo "test.sh: stopped: the run's $budget s were used up before step '$name'" >&2
    return 1
  fi
  echo $((limit < left ? limit : left))
}

# bounded NAME COMMAND... runs one step under its limit. timeout ends the
# step's whole process group; the Windows step also ends Wine's processes,
# which leave that group.
bounded() {
  local name=$1 limit status=0
  shift
  limit="$(limit_now "$name")" || exit 1
  timeout -k 30 "$limit" "$@" || status=$?
  case "$status" in
    0) return 0 ;;
    124 | 137) echo "test.sh: stopped: step '$name' did not finish within $limit s" ;;
    *) echo "test.sh: failed: step '$name' ended with status $status" ;;
  esac
  exit 1
}

bounded install scripts/install-deps.sh

for step in scripts/test.d/*.sh; do
  [ -e "$step" ] || continue
  echo "== ${step##*/}"
  bounded "${step##*/}" bash "$step"
done

echo "== build"
build_step() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > build.log 2>&1 || { cat build.log; return 1; }
  cmake --build build -j "$jobs" >> build.log 2>&1 || { tail -n 80 build.log; return 1; }
}
export -f build_step
export jobs
bounded build bash -c build_step

echo "== tests"
cd build
status=0
limit="$(limit_now tests)" || exit 1
QT_QPA_PLATFORM=offscreen timeout -k 30 "$limit" \
  ctest --output-on-failure -j "$jobs" --timeout 300 > ctest.log 2>&1 || status=$?
cat ctest.log
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
  echo "test.sh: stopped: step 'tests' did not finish within $limit s"
  exit 1
fi
# ctest lists the skipped tests after its summary; the summary closes the run.
grep -E '^[0-9]+% tests passed' ctest.log | tail -n 1
exit "$status"
