#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# run-step.sh NAME COMMAND...: runs one step of test.sh and passes its output
# on as it comes.
#
# A step is stopped only when it hangs, never because it is slow: when for
# QUARVO_STALL_LIMIT seconds (600 unless set) it printed nothing and none of
# its processes ended, or when the run's budget is spent (QUARVO_DEADLINE,
# the epoch second at which the whole run must end; none when unset). A
# loaded machine makes a step slower, but it still prints and its compilers
# and tests still end one by one.
#
# Exit status: the step's own, or 124 when it was stopped; the last line
# then names the step, why it was stopped and what was still running.
set -uo pipefail
name=$1
shift
stall_limit="${QUARVO_STALL_LIMIT:-600}"
deadline="${QUARVO_DEADLINE:-0}"

log="$(mktemp)"
trap 'rm -f "$log"' EXIT

# Not a process-group leader here, so setsid makes the step's own session
# without forking: its pid names the session, which holds all it starts.
setsid "$@" >"$log" 2>&1 </dev/null &
step=$!

printed=0
# Passes on what the step printed since the last call; true when there was
# something.
pass_on_output() {
  local size
  size=$(stat -c %s "$log")
  [ "$size" -gt "$printed" ] || return 1
  tail -c +"$((printed + 1))" "$log" | head -c "$((size - printed))"
  printed=$size
}

running() {
  local state
  state=$(ps -o stat= -p "$step" 2>/dev/null) || return 1
  [[ $state != Z* ]]
}

members() { ps -o pid= -s "$step" 2>/dev/null | tr -d ' ' | sort; }

stop() {
  local reason=$1
  pass_on_output
  echo
  echo "still running in step '$name':"
  ps -o pid=,etime=,args= -s "$step" 2>/dev/null | cut -c1-200 | sed 's/^/    /'
  kill -TERM -- "-$step" 2>/dev/null
  for _ in $(seq 30); do
    running || break
    sleep 1
  done
  kill -KILL -- "-$step" 2>/dev/null
  wait "$step" 2>/dev/null
  echo "test.sh: stopped: step '$name' $reason"
  exit 124
}

last_progress=$SECONDS
before="$(members)"
while running; do
  sleep 1
  pass_on_output && last_progress=$SECONDS
  # A process of the step that ended since the last look is progress too
  # (a compiler, a test program, a Wine call that prints into a log).
  now="$(members)"
  [ -z "$(comm -23 <(echo "$before") <(echo "$now"))" ] || last_progress=$SECONDS
  before=$now
  if [ $((SECONDS - last_progress)) -ge "$stall_limit" ]; then
    stop "made no progress for $stall_limit s (no output, no process ended)"
  fi
  if [ "$deadline" -gt 0 ] && [ "$(date +%s)" -ge "$deadline" ]; then
    stop "was still running when the run's time budget ran out"
  fi
done
wait "$step"
status=$?
pass_on_output
exit "$status"
