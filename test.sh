#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# ./test.sh            installs what the program and its tests need, builds
#                      build/ and runs every unit, window, command-line and
#                      golden test: the quick check that the program works.
# ./test.sh --all      everything (what CI runs): also the sanitizer build,
#                      fuzzing, the plain scanning kernels, the Windows builds
#                      under Wine, and the real programs that read Quarvo's
#                      files (browsers, address books).
# ./test.sh --only S   the main build and one step of scripts/test.d/
#                      (sanitizers, fuzz, scalar-scan, windows).
#
# A step is stopped when it hangs (scripts/run-step.sh: nothing printed and
# no process ended for 10 minutes) or when the run's budget is spent; a slow
# step on a busy machine goes on. When the run does not pass, its last line
# says which step stopped it and why. ctest's summary line closes the output.
set -euo pipefail
cd "$(dirname "$0")"
export QUARVO_ROOT="$PWD"
jobs="$(nproc 2>/dev/null || echo 2)"
export QUARVO_JOBS="$jobs"

mode=quick only=""
case "${1:-}" in
  "") ;;
  --all) mode=all ;;
  --only)
    mode=only only="${2:-}"
    [ -n "$only" ] && compgen -G "scripts/test.d/*-$only.sh" >/dev/null ||
      { echo "test.sh: --only takes one of: $(cd scripts/test.d && ls | sed -E 's/^[0-9]+-|\.sh$//g' | tr '\n' ' ')" >&2; exit 2; }
    ;;
  *) echo "usage: ./test.sh [--all | --only STEP]" >&2; exit 2 ;;
esac

# The whole run ends within this many seconds, with its reason printed,
# before an outer limit (CI's is 90 minutes) cuts it off.
budget="${QUARVO_TEST_BUDGET:-5100}"
export QUARVO_DEADLINE=$(($(date +%s) + budget))

step() {
  local name=$1 status=0 started=$SECONDS
  shift
  scripts/run-step.sh "$name" "$@" || status=$?
  case "$status" in
    0) echo "-- $name: $((SECONDS - started)) s"; return 0 ;;
    124) ;; # run-step.sh has said why
    *) echo "test.sh: failed: step '$name' ended with status $status" ;;
  esac
  exit 1
}

install_args=()
[ "$mode" = quick ] || install_args=(--all)
step install scripts/install-deps.sh "${install_args[@]}"

# Every build of the run compiles through ccache where it is installed, so a
# second run recompiles nothing it compiled before.
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi

echo "== build"
# The main build comes first: the other steps take its quarvo-convert.
step build scripts/build-main.sh

case "$mode" in
  all) steps=(scripts/test.d/*.sh) ;;
  only) steps=(scripts/test.d/*-"$only".sh) ;;
  quick) steps=() ;;
esac
for script in "${steps[@]}"; do
  echo "== ${script##*/}"
  step "${script##*/}" bash "$script"
done
[ "$mode" != only ] || exit 0

echo "== tests"
# The real programs that read Quarvo's files (labels browser and peer) take
# minutes; they belong to the whole run.
ctest_args=()
[ "$mode" = all ] || ctest_args=(-LE '^(browser|peer)$')
log=build/ctest.log
set +e
QT_QPA_PLATFORM=offscreen scripts/run-step.sh tests \
  ctest --test-dir build --output-on-failure -j "$jobs" --timeout 1800 "${ctest_args[@]}" | tee "$log"
status=${PIPESTATUS[0]}
set -e
[ "$status" -ne 124 ] || exit 1
# ctest lists the skipped and failed tests after its summary; the summary
# closes the run.
grep -E '^[0-9]+% tests passed' "$log" | tail -n 1
[ "$status" -eq 0 ] || exit 1
