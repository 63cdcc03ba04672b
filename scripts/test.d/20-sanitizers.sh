#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the core, the command-line converter and the core tests under
# AddressSanitizer and UndefinedBehaviorSanitizer (the "asan" preset) and runs
# the tests. Every sanitizer report aborts its test, so any report fails here.
set -euo pipefail
root="${QUARVO_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}"
jobs="${QUARVO_JOBS:-2}"
cd "$root"
mkdir -p build-asan
log="$root/build-asan/build.log"

cmake --preset asan > "$log" 2>&1 || { cat "$log"; exit 1; }
cmake --build --preset asan -j "$jobs" >> "$log" 2>&1 || { tail -n 80 "$log"; exit 1; }
# The real browsers' and address books' import checks judge the files'
# shape, which the main run checks; here they would only repeat it for minutes.
ctest --preset asan -j "$jobs" -LE '^(browser|peer)$'
