#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows step under a stand-in for Wine: a call that never returns is
# stopped at its limit and tried once more from a fresh prefix, a second hang
# fails with the call, its time and its log, a failing test is never tried
# again, and nothing the stand-in started is left running.
set -uo pipefail
runner="$1"  # scripts/windows/run-under-wine.sh

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The stand-in logs each call. With HANG set it leaves a process of its own
# session behind, as Wine's server does, and blocks for good; the first
# call whose words match HANG_ONCE blocks and later ones go on; a test
# program exits with TEST_STATUS.
cat >"$work/wine" <<'STAND_IN'
#!/usr/bin/env bash
echo "$*" >>"$CALLS"
hang() { setsid sleep 1000 </dev/null >/dev/null 2>&1 & exec sleep 1000; }
[ -n "${HANG:-}" ] && hang
if [ -n "${HANG_ONCE:-}" ] && [[ "$*" == *"$HANG_ONCE"* ]] && [ ! -e "$CALLS.hung" ]; then
  touch "$CALLS.hung"
  hang
fi
case "$1" in
  *.exe) echo "[  PASSED  ] 1 test."; exit "${TEST_STATUS:-0}" ;;
  *) mkdir -p "$WINEPREFIX/dosdevices" ;;
esac
STAND_IN
printf '#!/bin/sh\nexit 0\n' >"$work/wineserver"
chmod +x "$work/wine" "$work/wineserver"

build="$work/build"
mkdir -p "$build/tests" "$build/tools"
touch "$build/tests/quarvo_core_tests.exe" "$build/tests/quarvo_windows_tests.exe" \
  "$build/tests/quarvo_app_common_tests.exe"

# run NAME ENV... runs the step's Wine half with short limits and the
# environment given; its output lands in $work/NAME.out, the calls in
# $work/NAME.calls.
run() {
  local name=$1
  shift
  rm -f "$work/$name.calls" "$work/$name.calls.hung"
  env QUARVO_WINE="$work/wine" QUARVO_WINESERVER="$work/wineserver" CALLS="$work/$name.calls" \
    QUARVO_WINE_LIMIT_PREFIX=2 QUARVO_WINE_LIMIT_TEST=2 QUARVO_WINE_LIMIT_CALL=2 "$@" \
    timeout 60 bash "$runner" "$build" /bin/true >"$work/$name.out" 2>&1
}
count() { grep -c -e "$1" "$2" 2>/dev/null || true; }
leftovers() { grep -lszxF "WINEPREFIX=$build/wineprefix" /proc/[0-9]*/environ 2>/dev/null; }

run always_hangs HANG=1
status=$?
[ "$status" -eq 1 ] || fail "a Wine that always hangs: exit $status, not 1"
[ "$(count 'wineboot --init' "$work/always_hangs.calls")" -eq 2 ] ||
  fail "a Wine that always hangs: the prefix was not made exactly twice"
grep -q "trying once more from a fresh prefix" "$work/always_hangs.out" ||
  fail "a Wine that always hangs: no retry announced"
grep -qE "^FAILED: Wine hung twice; the second time in 'wineboot --init', stopped after [0-9]+ s; its log: $build/wineboot.log" \
  "$work/always_hangs.out" || fail "a Wine that always hangs: the last line does not name the call, time and log"
[ -z "$(leftovers)" ] || fail "a Wine that always hangs: processes left running: $(leftovers)"

run hangs_once HANG_ONCE=quarvo_windows_tests
status=$?
[ "$status" -eq 0 ] || fail "a Wine that hangs once in a test: exit $status, not 0"
[ "$(count 'wineboot --init' "$work/hangs_once.calls")" -eq 2 ] ||
  fail "a Wine that hangs once in a test: not tried again from a fresh prefix"
[ -z "$(leftovers)" ] || fail "a Wine that hangs once: processes left running"

run test_fails TEST_STATUS=1
status=$?
[ "$status" -eq 1 ] || fail "a failing test: exit $status, not 1"
[ "$(count 'quarvo_core_tests' "$work/test_fails.calls")" -eq 1 ] || fail "a failing test was run again"
grep -q "quarvo_core_tests: FAILED under Wine" "$work/test_fails.out" ||
  fail "a failing test is not reported"

if [ "$failures" -ne 0 ]; then
  for out in "$work"/*.out; do echo "--- ${out##*/}"; cat "$out"; done
  exit 1
fi
echo "wine harness: hang retried once, second hang reported, failing test not retried"
