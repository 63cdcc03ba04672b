#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for a bounded time
# on a seed corpus: the hand-written seeds in fuzz/seeds/ plus small
# generated Opera files. A crash, a sanitizer report or a broken law fails
# the run; the input that caused it is kept in build-fuzz/ as crash-*.
# QUARVO_FUZZ_BUILD and QUARVO_FUZZ_CMAKE_ARGS let another step fuzz another
# build of the core (35-scalar-scan.sh: the plain scanning kernels).
set -euo pipefail
root="${QUARVO_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}"
jobs="${QUARVO_JOBS:-2}"
seconds="${QUARVO_FUZZ_SECONDS:-30}"
build="${QUARVO_FUZZ_BUILD:-$root/build-fuzz}"
read -r -a cmake_args <<< "${QUARVO_FUZZ_CMAKE_ARGS:-}"
mkdir -p "$build"
log="$build/build.log"

CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "${cmake_args[@]}" > "$log" 2>&1 || { cat "$log"; exit 1; }
cmake --build "$build" -j "$jobs" >> "$log" 2>&1 || { tail -n 80 "$log"; exit 1; }

# The working corpus lives in the build folder: what the fuzzer adds to it
# never reaches the repository.
for target in contacts hotlist strman lines browser notes links; do
  corpus="$build/corpus/$target"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  # The browser flavour reads hotlists: it starts from their seeds. The
  # notes start from the hand-made notes file and generated ones.
  case "$target" in
    notes) cp "$root/tests/data/notes_every_case.adr" "$corpus/" ;;
    *) cp "$root/fuzz/seeds/${target/browser/hotlist}/"* "$corpus/" ;;
  esac
done
for seed in 1 2 3; do
  for kind in contacts hotlist notes; do
    "$build/quarvo-gen-opera" "$kind" 3K "$build/corpus/$kind/generated-$seed.adr" --seed "$seed"
    "$build/quarvo-gen-opera" "$kind" 3K "$build/corpus/$kind/generated-$seed-lf.adr" --seed "$seed" --lf
  done
done

export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
for target in contacts hotlist strman lines browser notes links; do
  run_log="$build/fuzz_$target.log"
  if "$build/fuzz_$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
       -max_len=16384 -print_final_stats=1 -artifact_prefix="$build/crash-$target-" \
       "$build/corpus/$target" > "$run_log" 2>&1; then
    echo "fuzz_$target: $(grep -E '^stat::number_of_executed_units' "$run_log" | awk '{print $2}') inputs, no fault"
  else
    tail -n 60 "$run_log"
    echo "fuzz_$target found a fault; the input is in $build/crash-$target-*" >&2
    exit 1
  fi
done
