#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Configures and builds the main tree, build/: the program, quarvo-convert,
# every test and the benchmarks. Its log is build/build.log; on a failure the
# end of it is printed.
set -euo pipefail
root="${QUARVO_ROOT:-$(cd "$(dirname "$0")/.." && pwd)}"
jobs="${QUARVO_JOBS:-$(nproc 2>/dev/null || echo 2)}"
cd "$root"
mkdir -p build
log=build/build.log
started=$SECONDS
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$log" 2>&1 || { cat "$log"; exit 1; }
cmake --build build -j "$jobs" >>"$log" 2>&1 || { tail -n 80 "$log"; exit 1; }
echo "build/ built in $((SECONDS - started)) s"
