#!/usr/bin/env bash
# The Windows build. Cross-builds the core, the Windows file layer and folder
# lookup, their tests and quarvo-convert.exe with MinGW-w64, runs the tests
# under Wine in a fresh prefix inside the build folder, and checks that
# quarvo-convert.exe turns every Opera file of the corpus into the same bytes
# as the Linux quarvo-convert.
set -euo pipefail
root="${QUARVO_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}"
jobs="${QUARVO_JOBS:-2}"
cd "$root"

build="$root/build-win"
native="$root/build-win-native"
corpus="$root/../shared/corpus/opera"
mkdir -p "$build" "$native"
log="$build/build.log"
: > "$log"

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine="$(command -v wine64 || command -v wine)"
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver="$(command -v wineserver)"

# Wine keeps everything in a prefix made fresh for every run, never in the
# home folder, and shows no windows.
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

stop_wine() { "$wineserver" -k >/dev/null 2>&1 || true; }
trap stop_wine EXIT

stop_wine
rm -rf "$WINEPREFIX"
# The prefix is made while the compilers run.
"$wine" wineboot --init >"$build/wineboot.log" 2>&1 &
wineboot_pid=$!

started=$SECONDS
cmake -S . -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DQUARVO_BUILD_APP=OFF -DQUARVO_BUILD_BENCH=OFF \
  -DQUARVO_GTEST_SOURCE_DIR=/usr/src/googletest >>"$log" 2>&1 || { cat "$log"; exit 1; }
cmake --build "$build" -j "$jobs" \
  --target quarvo_core_tests quarvo_windows_tests quarvo-convert >>"$log" 2>&1 ||
  { tail -n 80 "$log"; exit 1; }

# The Linux converter to compare with, built on its own: the main build runs
# after this step.
cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release \
  -DQUARVO_BUILD_APP=OFF -DQUARVO_BUILD_TESTS=OFF -DQUARVO_BUILD_BENCH=OFF >>"$log" 2>&1 ||
  { cat "$log"; exit 1; }
cmake --build "$native" -j "$jobs" --target quarvo-convert >>"$log" 2>&1 ||
  { tail -n 80 "$log"; exit 1; }
echo "built in $((SECONDS - started)) s"

wait "$wineboot_pid" || { cat "$build/wineboot.log"; exit 1; }
# A CD drive whose medium is missing, for the existence test that must answer
# false there without asking the user to insert a disc. Wine reads its drives
# when it starts, so it is restarted afterwards.
ln -sfn "$build/no-medium-in-this-drive" "$WINEPREFIX/dosdevices/q:"
"$wine" reg add 'HKLM\Software\Wine\Drives' /v q: /d cdrom /f >>"$log" 2>&1
"$wineserver" -k >/dev/null 2>&1 || true
"$wineserver" -w
export QUARVO_NO_MEDIUM_DRIVE="Q:"
# Wine's CreateSymbolicLink makes no link; the test of writing through a link
# gets a POSIX one, which Wine follows like a Windows link.
links="$build/link-fixture"
rm -rf "$links"
mkdir -p "$links"
ln -s real.txt "$links/link.txt"
export QUARVO_LINK_FOLDER="Z:${links//\//\\}"

started=$SECONDS
failed=0
for test in quarvo_core_tests quarvo_windows_tests; do
  exe="$(find "$build/tests" -name "$test.exe" | head -n 1)"
  # Run from inside the build folder: it lies on Wine's drive Z:, so the
  # tests' POSIX-style corpus path names the same folder.
  if (cd "$build" && "$wine" "$exe" --gtest_brief=1) >"$build/$test.log" 2>&1; then
    echo "$test: $(grep -E '^\[  PASSED  \]' "$build/$test.log" | tail -n 1)"
  else
    cat "$build/$test.log"
    echo "$test: FAILED under Wine"
    failed=1
  fi
done
[ "$failed" -eq 0 ] || exit 1
echo "tests ran in $((SECONDS - started)) s"

if [ ! -d "$corpus" ]; then
  echo "no corpus at $corpus: comparison skipped"
  exit 0
fi

started=$SECONDS
windows_exe="$(find "$build/tools" -name quarvo-convert.exe | head -n 1)"
linux_exe="$native/tools/quarvo-convert"
out="$build/corpus-compare"
rm -rf "$out"
mkdir -p "$out/linux" "$out/windows"
to_windows() { printf 'Z:%s' "${1//\//\\}"; }

compared=0
differ=0
shopt -s nullglob
for input in "$corpus"/*.adr; do
  name="${input##*/}"
  # Every file goes through both converters: a contacts file gives an empty
  # bookmark file, a hotlist gives an empty CSV.
  "$linux_exe" --contacts "$input" "$out/linux/$name.csv" \
    --bookmarks "$input" "$out/linux/$name.htm" >"$out/linux/$name.counts" 2>"$out/linux/$name.err" &&
    linux_status=0 || linux_status=$?
  "$wine" "$windows_exe" --contacts "$(to_windows "$input")" "$(to_windows "$out/windows/$name.csv")" \
    --bookmarks "$(to_windows "$input")" "$(to_windows "$out/windows/$name.htm")" \
    >"$out/windows/$name.counts" 2>"$out/windows/$name.err" && windows_status=0 || windows_status=$?
  # The console writes line ends as CR LF on Windows; the counts are compared
  # without them. The messages on stderr name the files in each system's form
  # and are not compared.
  tr -d '\r' <"$out/windows/$name.counts" >"$out/windows/$name.counts.lf"
  mv "$out/windows/$name.counts.lf" "$out/windows/$name.counts"
  if [ "$linux_status" != "$windows_status" ]; then
    echo "$name: exit status $linux_status on Linux, $windows_status under Wine"
    differ=1
  fi
  for kind in csv htm counts; do
    a="$out/linux/$name.$kind"
    b="$out/windows/$name.$kind"
    if [ -e "$a" ] || [ -e "$b" ]; then
      if ! cmp -s "$a" "$b"; then
        echo "$name.$kind differs between Linux and Windows"
        differ=1
      fi
    fi
  done
  compared=$((compared + 1))
done
if [ "$compared" -eq 0 ]; then
  echo "no Opera files in $corpus: comparison skipped"
  exit 0
fi
[ "$differ" -eq 0 ] || exit 1
echo "quarvo-convert.exe under Wine gave the same bytes as Linux for $compared corpus files ($((SECONDS - started)) s)"
