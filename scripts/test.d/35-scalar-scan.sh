#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The plain twins of the scanning kernels (core/text/scan/, QUARVO_SCALAR_SCAN=ON),
# which no other step builds on a machine with SSE2: the core tests and the
# command-line tests on a build of their own (build-scalar/), then each fuzz
# target for a short while on a scalar fuzz build (build-fuzz-scalar/), so
# that both paths are held to the same bytes and the same laws.
set -euo pipefail
root="${QUARVO_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}"
jobs="${QUARVO_JOBS:-2}"
cd "$root"
build="$root/build-scalar"
mkdir -p "$build"
log="$build/build.log"

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARVO_SCALAR_SCAN=ON \
  -DQUARVO_BUILD_APP=OFF -DQUARVO_BUILD_BENCH=OFF > "$log" 2>&1 || { cat "$log"; exit 1; }
cmake --build "$build" -j "$jobs" --target quarvo_core_tests quarvo_app_common_tests quarvo-convert \
  >> "$log" 2>&1 ||
  { tail -n 80 "$log"; exit 1; }
# The Wine harness's own test does not touch the core, nor do the real
# browsers' and address books' import checks use the scanning kernels.
ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 1800 -E '^wine_harness$' -LE '^(browser|peer)$' \
  > "$build/ctest.log" 2>&1 || { cat "$build/ctest.log"; exit 1; }
grep -E '^[0-9]+% tests passed' "$build/ctest.log" | tail -n 1

QUARVO_FUZZ_SECONDS="${QUARVO_SCALAR_FUZZ_SECONDS:-10}" \
  QUARVO_FUZZ_BUILD="$root/build-fuzz-scalar" \
  QUARVO_FUZZ_CMAKE_ARGS="-DQUARVO_SCALAR_SCAN=ON" \
  bash "$root/scripts/test.d/30-fuzz.sh"
