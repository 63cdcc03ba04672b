#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the Windows build's tests under Wine in a fresh prefix inside the build
# folder, then checks that quarvo-convert.exe turns every Opera file of the
# corpus into the same bytes as the Linux quarvo-convert (a notes file into
# every notes output, folders and all), and then drives
# quarvo.exe's windows (quarvo_win32_ui_tests.exe) on a private Xvfb
# display, keeping a picture of each window in screenshots/, and last
# installs, starts and uninstalls the setup program of package/.
#
#   run-under-wine.sh WINDOWS_BUILD LINUX_CONVERTER [CORPUS]
#
# Wine itself has been seen to block for good, in `wineboot --init` and with
# a test program waiting on its server's pipe, so every Wine call runs under
# a time limit. A call that overruns its limit is a hang: this prefix's
# processes are ended and the whole run is tried once more in a fresh prefix;
# a second hang fails with the call, the time it took and its log. A test
# that fails is reported at once and never tried again.
#
# QUARVO_WINE and QUARVO_WINESERVER name the Wine binaries (a test of this
# script puts stand-ins there); QUARVO_WINE_LIMIT_PREFIX, _TEST and _CALL set
# the limits, in seconds, for making the prefix, for a test program and for
# any other call.
set -euo pipefail

build="$(cd "$1" && pwd)"
linux_exe="$2"
corpus="${3:-}"

wine="${QUARVO_WINE:-/usr/lib/wine/wine64}"
[ -x "$wine" ] || wine="$(command -v wine64 || command -v wine)"
wineserver="${QUARVO_WINESERVER:-/usr/lib/wine/wineserver64}"
[ -x "$wineserver" ] || wineserver="$(command -v wineserver)"
limit_prefix="${QUARVO_WINE_LIMIT_PREFIX:-180}"
limit_test="${QUARVO_WINE_LIMIT_TEST:-300}"
limit_call="${QUARVO_WINE_LIMIT_CALL:-60}"

# The prefix is handed to each Wine call rather than exported, so that the
# processes that carry it in their environment are Wine's alone: that is how
# the ones a hung server can no longer reach are found and ended.
prefix="$build/wineprefix"
wine_env=(env "WINEPREFIX=$prefix" WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml=")
unset WINEPREFIX DISPLAY WAYLAND_DISPLAY

# Messages about the run go to the terminal even while a call's output is
# sent to a file.
exec 3>&2

xvfb_pid=""

prefix_pids() {
  grep -lszxF "WINEPREFIX=$prefix" /proc/[0-9]*/environ 2>/dev/null |
    sed -e 's|^/proc/||' -e 's|/environ$||' || true
}

# Ends every process of this prefix: through its server first, then by hand
# for whatever a server that no longer answers leaves running.
stop_prefix() {
  timeout -k 5 20 "${wine_env[@]}" "$wineserver" -k >/dev/null 2>&1 || true
  local pids
  pids="$(prefix_pids)"
  if [ -n "$pids" ]; then
    # shellcheck disable=SC2086
    kill -KILL $pids 2>/dev/null || true
  fi
}

hang_call="" hang_seconds=0 hang_log=""

# bounded LIMIT LOG DIR COMMAND... runs COMMAND in DIR with the prefix's
# environment and at most LIMIT seconds. Returns the command's status, or
# 124 after a hang, when the prefix has already been stopped. The caller
# redirects the output; LOG names where it went, for the messages.
bounded() {
  local limit=$1 log=$2 dir=$3
  shift 3
  local started=$SECONDS status=0
  (cd "$dir" && exec timeout -k 10 "$limit" "${wine_env[@]}" "$@") || status=$?
  if [ "$status" -eq 124 ] || { [ "$status" -eq 137 ] && [ $((SECONDS - started)) -ge "$limit" ]; }; then
    hang_call="$*"
    hang_call="${hang_call#"$wine" }"
    hang_seconds=$((SECONDS - started))
    hang_log="$log"
    echo "Wine call timed out after $hang_seconds s (limit $limit s): $hang_call; log: $log" >&3
    stop_prefix
    return 124
  fi
  return "$status"
}

# wine LIMIT LOG ARGS... runs one Wine program from the build folder, which
# lies on Wine's drive Z:, so that POSIX-style paths in the tests name the
# same folders.
run_wine() {
  local limit=$1 log=$2
  shift 2
  bounded "$limit" "$log" "$build" "$wine" "$@"
}

# The server runs until told to stop; waiting for it to finish on its own
# lets it write the registry out before the next call starts it afresh.
server_wait() {
  bounded "$limit_call" "$build/wineserver.log" "$build" "$wineserver" -w >>"$build/wineserver.log" 2>&1
}

make_prefix() {
  stop_prefix
  rm -rf "$prefix"
  run_wine "$limit_prefix" "$build/wineboot.log" wineboot --init >"$build/wineboot.log" 2>&1 ||
    return
  server_wait || return
  # A CD drive whose medium is missing, for the existence test that must
  # answer false there without asking the user to insert a disc. Wine reads
  # its drives when its server starts, which the wait above lets happen
  # afresh.
  ln -sfn "$build/no-medium-in-this-drive" "$prefix/dosdevices/q:"
  # The symbols Wine draws its title-bar buttons with; this Wine does not
  # find its own copy. The text fonts stay the stand-ins it finds, so that
  # the windows' fallback for wider faces is what the tests see.
  if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
  fi
  run_wine "$limit_call" "$build/reg.log" reg add 'HKLM\Software\Wine\Drives' /v q: /d cdrom /f /reg:64 \
    >"$build/reg.log" 2>&1 || return
  server_wait || return
  # One server for all the programs that follow, so that none of them meets
  # a server that is just shutting down.
  bounded "$limit_call" "$build/wineserver.log" "$build" "$wineserver" -p \
    >>"$build/wineserver.log" 2>&1
}

run_tests() {
  local started=$SECONDS test exe status
  # Wine's CreateSymbolicLink makes no link; the test of writing through a
  # link gets a POSIX one, which Wine follows like a Windows link.
  local links="$build/link-fixture"
  rm -rf "$links"
  mkdir -p "$links"
  ln -s real.txt "$links/link.txt"
  wine_env+=("QUARVO_NO_MEDIUM_DRIVE=Q:" "QUARVO_LINK_FOLDER=Z:${links//\//\\}")
  for test in quarvo_core_tests quarvo_windows_tests quarvo_app_common_tests; do
    exe="$(find "$build/tests" -name "$test.exe" | head -n 1)"
    status=0
    run_wine "$limit_test" "$build/$test.log" "$exe" --gtest_brief=1 >"$build/$test.log" 2>&1 ||
      status=$?
    if [ "$status" -eq 124 ]; then
      return 124
    elif [ "$status" -ne 0 ]; then
      cat "$build/$test.log"
      echo "$test: FAILED under Wine (exit $status)"
      return 1
    fi
    echo "$test: $(grep -E '^\[  PASSED  \]' "$build/$test.log" | tail -n 1)"
  done
  echo "tests ran in $((SECONDS - started)) s"
}

to_windows() { printf 'Z:%s' "${1//\//\\}"; }

compare_corpus() {
  if [ -z "$corpus" ] || [ ! -d "$corpus" ]; then
    echo "no corpus at ${corpus:-(none given)}: comparison skipped"
    return 0
  fi
  local started=$SECONDS input name status linux_status windows_status kind a b
  local windows_exe out="$build/corpus-compare" compared=0 differ=0
  windows_exe="$(find "$build/tools" -name quarvo-convert.exe | head -n 1)"
  rm -rf "$out"
  mkdir -p "$out/linux" "$out/windows"
  shopt -s nullglob
  for input in "$corpus"/*.adr; do
    name="${input##*/}"
    # Every file goes through both converters: a contacts file gives an
    # empty bookmark file, a hotlist gives an empty CSV.
    linux_status=0
    "$linux_exe" --contacts "$input" "$out/linux/$name.csv" \
      --bookmarks "$input" "$out/linux/$name.htm" >"$out/linux/$name.counts" \
      2>"$out/linux/$name.err" || linux_status=$?
    windows_status=0
    run_wine "$limit_call" "$out/windows/$name.err" "$windows_exe" \
      --contacts "$(to_windows "$input")" "$(to_windows "$out/windows/$name.csv")" \
      --bookmarks "$(to_windows "$input")" "$(to_windows "$out/windows/$name.htm")" \
      >"$out/windows/$name.counts" 2>"$out/windows/$name.err" || windows_status=$?
    [ "$windows_status" -ne 124 ] || return 124
    # The console writes line ends as CR LF on Windows; the counts are
    # compared without them. The messages on stderr name the files in each
    # system's form and are not compared.
    tr -d '\r' <"$out/windows/$name.counts" >"$out/windows/$name.counts.lf"
    mv "$out/windows/$name.counts.lf" "$out/windows/$name.counts"
    if [ "$linux_status" != "$windows_status" ]; then
      echo "$name: exit status $linux_status on Linux, $windows_status under Wine"
      differ=1
    fi
    for kind in csv htm counts; do
      a="$out/linux/$name.$kind"
      b="$out/windows/$name.$kind"
      if { [ -e "$a" ] || [ -e "$b" ]; } && ! cmp -s "$a" "$b"; then
        echo "$name.$kind differs between Linux and Windows"
        differ=1
      fi
    done
    compared=$((compared + 1))
    # A notes file goes out in each of the notes' outputs too: two files
    # and two folders, whose names inside come in UTF-8 on both systems.
    case "$name" in *notes*) ;; *) continue ;; esac
    local output option
    for output in enex html md per-folder; do
      option=()
      [ "$output" = per-folder ] && option=(--enex-per-folder)
      "$linux_exe" --notes "$input" "$out/linux/$name.$output" "${option[@]}" >/dev/null 2>&1 || true
      windows_status=0
      run_wine "$limit_call" "$out/windows/$name.$output.err" "$windows_exe" \
        --notes "$(to_windows "$input")" "$(to_windows "$out/windows/$name.$output")" "${option[@]}" \
        >/dev/null 2>"$out/windows/$name.$output.err" || windows_status=$?
      [ "$windows_status" -ne 124 ] || return 124
      if ! diff -r "$out/linux/$name.$output" "$out/windows/$name.$output" >/dev/null 2>&1; then
        echo "$name: the notes' $output output differs between Linux and Windows"
        differ=1
      fi
    done
  done
  if [ "$compared" -eq 0 ]; then
    echo "no Opera files in $corpus: comparison skipped"
    return 0
  fi
  [ "$differ" -eq 0 ] || return 1
  echo "quarvo-convert.exe under Wine gave the same bytes as Linux for $compared corpus files" \
    "($((SECONDS - started)) s)"
}

# The display of the window test: a private Xvfb, which picks a free
# display number itself and says which.
start_display() {
  local number_file="$build/xvfb.display" waited=0
  : >"$number_file"
  Xvfb -displayfd 4 -screen 0 1024x768x24 -nolisten tcp 4>"$number_file" \
    >"$build/xvfb.log" 2>&1 &
  xvfb_pid=$!
  while [ ! -s "$number_file" ]; do
    if [ "$waited" -ge 100 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
      echo "Xvfb did not start; its log: $build/xvfb.log"
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  display=":$(head -n 1 "$number_file")"
}

stop_display() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  fi
}

run_window_tests() {
  local exe status=0 shots="$build/screenshots" log="$build/quarvo_win32_ui_tests.log"
  local display picture started=$SECONDS
  exe="$(find "$build/tests" -name quarvo_win32_ui_tests.exe | head -n 1)"
  if [ -z "$exe" ]; then
    echo "no window test built: skipped"
    return 0
  fi
  start_display || return 1
  rm -rf "$shots"
  mkdir -p "$shots"
  local ui_env=("DISPLAY=$display" "QUARVO_SCREENSHOTS=$(to_windows "$shots")")
  if [ -n "$corpus" ] && [ -d "$build/corpus-compare/linux" ]; then
    ui_env+=("QUARVO_CORPUS_DIR=$(to_windows "$corpus")"
      "QUARVO_LINUX_OUTPUTS=$(to_windows "$build/corpus-compare/linux")")
  fi
  local saved_env=("${wine_env[@]}")
  wine_env+=("${ui_env[@]}")
  # Wine draws the windows' frames itself on a desktop of its own, so that
  # the pictures show them whole, as Windows would. The desktop does not
  # hand on the test's exit status: its output tells.
  run_wine "$limit_test" "$log" explorer /desktop=Quarvo,1024x768 "$(to_windows "$exe")" \
    --gtest_brief=1 \
    >"$log" 2>&1 || status=$?
  wine_env=("${saved_env[@]}")
  stop_display
  if [ "$status" -eq 0 ] && { ! grep -qE '^\[  PASSED  \]' "$log" || grep -qE '^\[  FAILED  \]' "$log"; }; then
    status=1
  fi
  if [ "$status" -eq 124 ]; then
    return 124
  elif [ "$status" -ne 0 ]; then
    cat "$log"
    echo "quarvo_win32_ui_tests: FAILED under Wine (exit $status)"
    return 1
  fi
  echo "quarvo_win32_ui_tests: $(grep -E '^\[  PASSED  \]' "$log" | tail -n 1)" \
    "($((SECONDS - started)) s)"
  for picture in "$shots"/*.bmp; do
    [ -e "$picture" ] || continue
    convert "$picture" "${picture%.bmp}.png" && rm -f "$picture"
  done
  echo "window pictures in $shots"
}

# The files the installer may touch: Program Files and the Start menu.
installed_places() {
  (cd "$prefix/drive_c" && find "Program Files" "Program Files (x86)" ProgramData -print 2>/dev/null |
    sort)
}

# Installs the setup program silently, starts the installed program and
# closes it, runs the installed converter, uninstalls silently and checks
# that no file and no registry key of it is left.
test_installer() {
  local setup dir started=$SECONDS status=0 program waited=0
  setup="$(find "$build/package" -name '*-setup.exe' 2>/dev/null | head -n 1)"
  if [ -z "$setup" ]; then
    echo "no installer built: skipped"
    return 0
  fi
  local log="$build/installer.log" key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quarvo'
  # A 32-bit program goes where Windows keeps those.
  local program_files="Program Files"
  case "$setup" in *-x86-setup.exe) program_files="Program Files (x86)" ;; esac
  dir="$prefix/drive_c/$program_files/Quarvo"
  local lnk="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quarvo.lnk"
  installed_places >"$build/installed-before.txt"
  : >"$log"
  run_wine "$limit_call" "$log" "$setup" /S >>"$log" 2>&1 || status=$?
  [ "$status" -ne 124 ] || return 124
  local file
  for file in "$dir/quarvo.exe" "$dir/quarvo-convert.exe" "$dir/Uninstall.exe" "$lnk"; do
    [ -e "$file" ] || { echo "installer (exit $status): $file missing; log: $log"; return 1; }
  done
  run_wine "$limit_call" "$log" "$dir/quarvo-convert.exe" --version >>"$log" 2>&1 || {
    status=$?
    [ "$status" -ne 124 ] || return 124
    echo "the installed quarvo-convert.exe failed (exit $status); log: $log"
    return 1
  }
  # The installed program starts, shows its window and ends when closed.
  start_display || return 1
  local saved_env=("${wine_env[@]}")
  wine_env+=("DISPLAY=$display")
  # On the desktop of the window test: a program sees only the windows of
  # its own desktop, so taskkill runs there too. The desktop hands on no
  # exit status; that the program ended when asked is what tells.
  local desktop=(explorer /desktop=Quarvo,1024x768)
  run_wine "$limit_call" "$log" "${desktop[@]}" "C:\\$program_files\\Quarvo\\quarvo.exe" \
    >>"$log" 2>&1 &
  program=$!
  # Asked to close once a second: the first ask may come before its window.
  local asks=0
  status=0
  while kill -0 "$program" 2>/dev/null && [ "$asks" -lt 40 ]; do
    sleep 1
    asks=$((asks + 1))
    run_wine "$limit_call" "$log" "${desktop[@]}" taskkill /im quarvo.exe >>"$log" 2>&1 ||
      status=$?
    [ "$status" -ne 124 ] || break
    status=0
  done
  local program_status=0
  wait "$program" || program_status=$?
  wine_env=("${saved_env[@]}")
  stop_display
  [ "$status" -ne 124 ] && [ "$program_status" -ne 124 ] || return 124
  if [ "$program_status" -ne 0 ] || ! grep -q 'Close message sent' "$log"; then
    echo "the installed quarvo.exe did not run until closed (exit $program_status); log: $log"
    return 1
  fi
  # The uninstaller runs from a copy of itself and returns at once; the
  # copy is done when the folder is gone.
  run_wine "$limit_call" "$log" "$dir/Uninstall.exe" /S >>"$log" 2>&1 || status=$?
  [ "$status" -ne 124 ] || return 124
  while [ -e "$dir" ] && [ "$waited" -lt 300 ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  installed_places >"$build/installed-after.txt"
  if ! cmp -s "$build/installed-before.txt" "$build/installed-after.txt"; then
    echo "the uninstaller left files behind:"
    diff "$build/installed-before.txt" "$build/installed-after.txt" || true
    return 1
  fi
  status=0
  run_wine "$limit_call" "$log" reg query "$key" >>"$log" 2>&1 || status=$?
  [ "$status" -ne 124 ] || return 124
  if [ "$status" -eq 0 ]; then
    echo "the uninstaller left the registry key $key"
    return 1
  fi
  echo "installer: installed, started, closed and uninstalled without a trace" \
    "($((SECONDS - started)) s)"
}

# One run from a fresh prefix. The steps stop at the first failure
# themselves: errexit does not reach inside a function called with ||.
attempt() {
  local started=$SECONDS
  make_prefix || return
  echo "prefix made in $((SECONDS - started)) s"
  run_tests || return
  compare_corpus || return
  run_window_tests || return
  test_installer || return
  stop_prefix
}

trap 'stop_prefix; stop_display' EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

status=0
attempt || status=$?
if [ "$status" -eq 124 ]; then
  echo "Wine hung; trying once more from a fresh prefix" >&3
  status=0
  attempt || status=$?
  if [ "$status" -eq 124 ]; then
    echo "--- last lines of $hang_log:" >&3
    tail -n 20 "$hang_log" >&3 2>/dev/null || true
    echo "FAILED: Wine hung twice; the second time in '$hang_call', stopped after" \
      "$hang_seconds s; its log: $hang_log" >&3
    exit 1
  fi
fi
exit "$status"
