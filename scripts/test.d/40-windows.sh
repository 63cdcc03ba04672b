#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows build. Cross-builds the core, the Windows file layer and folder
# lookup, the windows' logic, their tests, quarvo-convert.exe and the Win32
# program quarvo.exe with MinGW-w64, then runs them under Wine
# (scripts/windows/run-under-wine.sh): the tests, and the converter against
# the Linux one on every Opera file of the corpus, quarvo.exe's windows on
# a private display, and the installer (package/) installed, started and
# uninstalled.
set -euo pipefail
root="${QUARVO_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}"
jobs="${QUARVO_JOBS:-2}"
cd "$root"

build="$root/build-win"
native="$root/build-win-native"
mkdir -p "$build" "$native"
log="$build/build.log"
: > "$log"

# The prefix is made only once the compilers are done: made beside them,
# wineboot was once seen to block for good.
started=$SECONDS
cmake -S . -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DQUARVO_BUILD_APP=OFF -DQUARVO_BUILD_BENCH=OFF \
  -DQUARVO_GTEST_SOURCE_DIR=/usr/src/googletest >>"$log" 2>&1 || { cat "$log"; exit 1; }
cmake --build "$build" -j "$jobs" \
  --target quarvo_core_tests quarvo_windows_tests quarvo_app_common_tests quarvo_win32_ui_tests \
  quarvo-convert quarvo quarvo_packages quarvo_win32_viewer_bench \
  >>"$log" 2>&1 ||
  { tail -n 80 "$log"; exit 1; }

# The Linux converter to compare with, built on its own: the main build runs
# after this step.
cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release \
  -DQUARVO_BUILD_APP=OFF -DQUARVO_BUILD_TESTS=OFF -DQUARVO_BUILD_BENCH=OFF >>"$log" 2>&1 ||
  { cat "$log"; exit 1; }
cmake --build "$native" -j "$jobs" --target quarvo-convert >>"$log" 2>&1 ||
  { tail -n 80 "$log"; exit 1; }
echo "built in $((SECONDS - started)) s"

exec "$root/scripts/windows/run-under-wine.sh" "$build" "$native/tools/quarvo-convert" \
  "$root/../shared/corpus/opera"
