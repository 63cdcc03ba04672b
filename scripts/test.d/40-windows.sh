#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows build. Cross-builds the core, the Windows file layer and folder
# lookup, the windows' logic, their tests, quarvo-convert.exe and the Win32
# program quarvo.exe with MinGW-w64, 64-bit and 32-bit, then runs each under
# Wine (scripts/windows/run-under-wine.sh): the tests, and the converter
# against the Linux one on every Opera file of the corpus, quarvo.exe's
# windows on a private display, and the installer (package/) installed,
# started and uninstalled.
set -euo pipefail
root="${QUARVO_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}"
jobs="${QUARVO_JOBS:-2}"
cd "$root"

corpus="$(cd "$root/.." && pwd)/shared/corpus/opera"

# The Linux converter to compare with is the main build's (test.sh builds it
# first; a step run on its own builds just that).
linux_convert="$root/build/tools/quarvo-convert"
if [ ! -x "$linux_convert" ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j "$jobs" --target quarvo-convert >/dev/null
fi

# cross_build BUILD_DIR TOOLCHAIN [CMAKE_ARGS...]: the Windows programs, their
# tests and their packages, into BUILD_DIR.
cross_build() {
  local build=$1 toolchain=$2 started=$SECONDS
  shift 2
  mkdir -p "$build"
  local log="$build/build.log"
  : >"$log"
  cmake -S . -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DQUARVO_BUILD_APP=OFF -DQUARVO_BUILD_BENCH=OFF \
    -DQUARVO_GTEST_SOURCE_DIR=/usr/src/googletest "$@" >>"$log" 2>&1 || { cat "$log"; return 1; }
  cmake --build "$build" -j "$jobs" \
    --target quarvo_core_tests quarvo_windows_tests quarvo_app_common_tests quarvo_win32_ui_tests \
    quarvo-convert quarvo quarvo_packages quarvo_win32_viewer_bench \
    >>"$log" 2>&1 ||
    { tail -n 80 "$log"; return 1; }
  echo "${build##*/} built in $((SECONDS - started)) s"
}

# The prefixes are made only once the compilers are done: made beside them,
# wineboot was once seen to block for good.
cross_build "$root/build-win" mingw-w64-x86_64.cmake

echo "64-bit, under Wine:"
"$root/scripts/windows/run-under-wine.sh" "$root/build-win" "$linux_convert" "$corpus"

# The 32-bit program runs on 64-bit Windows as on 32-bit Windows; under
# Wine, through its 32-bit loader.
# It is built from the same SciTE sources, which apt-get brought once.
cross_build "$root/build-win32" mingw-w64-i686.cmake \
  -DQUARVO_SCITE_ARCHIVE="$root/build-win/scite-source/scite_5.3.3.orig.tar.gz"
echo "32-bit, under Wine:"
QUARVO_WINE="${QUARVO_WINE32:-/usr/lib/wine/wine}" \
  "$root/scripts/windows/run-under-wine.sh" "$root/build-win32" "$linux_convert" "$corpus"
