#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# test.sh's step runner under stand-in steps: a slow step that prints, or
# whose processes end one by one, runs to its end; a silent one is stopped
# with its name, and so is one still running when the run's budget is spent;
# nothing a stopped step started is left running.
set -uo pipefail
runner="$1"  # scripts/run-step.sh

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run NAME STEP-SCRIPT [ENV...]: the step under a 3 s stall limit; its output
# in $work/NAME.out, its status in $status.
run() {
  local name=$1 script=$2
  shift 2
  env QUARVO_STALL_LIMIT=3 "$@" timeout 60 bash "$runner" "$name" bash -c "$script" >"$work/$name.out" 2>&1
  status=$?
}
last_line() { tail -n 1 "$work/$1.out"; }

run printing 'for i in 1 2 3 4 5 6 7; do echo "line $i"; sleep 1; done'
[ "$status" -eq 0 ] || fail "a slow step that prints: exit $status, not 0"
[ "$(grep -c '^line ' "$work/printing.out")" -eq 7 ] || fail "a slow step that prints: its output was not passed on whole"

run children_end 'for i in 1 2 3 4 5 6 7; do sleep 1; done; exit 3'
[ "$status" -eq 3 ] || fail "a quiet step whose processes end: exit $status, not its own 3"

run silent "echo started; sleep 40 & sleep 40; echo never"
[ "$status" -eq 124 ] || fail "a silent step: exit $status, not 124"
[ "$(last_line silent)" = "test.sh: stopped: step 'silent' made no progress for 3 s (no output, no process ended)" ] ||
  fail "a silent step: last line is '$(last_line silent)'"
grep -q '^started$' "$work/silent.out" || fail "a silent step: what it printed first was lost"
grep -q 'sleep 40' "$work/silent.out" || fail "a silent step: what was still running is not named"
sleep 1
! pgrep -f 'sleep 40' >/dev/null || fail "a silent step: its processes were left running"

run over_budget 'while :; do echo busy; sleep 1; done' QUARVO_DEADLINE=$(($(date +%s) + 3))
[ "$status" -eq 124 ] || fail "a step past the run's budget: exit $status, not 124"
[ "$(last_line over_budget)" = "test.sh: stopped: step 'over_budget' was still running when the run's time budget ran out" ] ||
  fail "a step past the run's budget: last line is '$(last_line over_budget)'"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "step runner: all cases passed"
