#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Peak memory of quarvo-convert on a large generated hotlist and contacts
# file, on a hotlist of one bookmark whose name is one giant run of double
# quotes (escaped, six times its size), and on a notes file written as
# Markdown, ENEX and HTML, measured with /usr/bin/time -v; the peak address
# space (VmPeak) is sampled while it runs. The limit: at most twice the
# input's size (three times for the notes, which are read into a tree) plus
# 64 MiB resident, and plus 200 MiB of address space, as glibc reserves
# 128 MiB (not committed) for the second thread's malloc arena and 8 MiB for
# its stack. Takes a minute; not part of ./test.sh.
#
#   bench/measure-peak-memory.sh [MIB]     (default 256)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUARVO_PROOF_BUILD:-$root/build-proof}"
mib="${1:-256}"
limit="2"
constant_mib="64"
vm_constant_mib="200"

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUARVO_BUILD_APP=OFF > /dev/null
fi
cmake --build "$build" -j 2 --target quarvo-convert quarvo-gen-opera > /dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# One bookmark whose NAME= is MIB MiB of double quotes.
giant_hotlist() {  # output
  {
    printf 'Opera Hotlist version 2.0\r\n\r\n#URL\r\n\tNAME='
    head -c "$((mib << 20))" /dev/zero | tr '\0' '"'
    printf '\r\n\tURL=http://example.com/\r\n\tCREATED=1148873838\r\n\r\n'
  } > "$1"
}

failed=0
measure() {  # kind option input output [limit]
  local kind="$1" option="$2" in="$work/$3" out="$work/$4" limit="${5:-$limit}"
  if [ "$kind" = giant ]; then
    giant_hotlist "$in"
  elif [[ "$kind" == notes* ]]; then
    [ -e "$in" ] || "$build/bench/quarvo-gen-opera" notes "${mib}M" "$in"
  else
    "$build/bench/quarvo-gen-opera" "$kind" "${mib}M" "$in"
  fi
  local bytes peak_kib vm_kib=0 timer child sample
  bytes=$(stat -c %s "$in")
  /usr/bin/time -v "$build/tools/quarvo-convert" "$option" "$in" "$out" > /dev/null 2> "$work/time.txt" &
  timer=$!
  # VmPeak only grows; the last sample taken is the run's peak, give or take
  # what was reserved in its last few milliseconds.
  while kill -0 "$timer" 2> /dev/null; do
    child=$(pgrep -P "$timer" | head -n 1 || true)
    if [ -n "$child" ]; then
      sample=$(awk '/^VmPeak/ {print $2}' "/proc/$child/status" 2> /dev/null || true)
      [ -n "$sample" ] && vm_kib="$sample"
    fi
    sleep 0.01
  done
  wait "$timer"
  peak_kib=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
  awk -v kind="$kind" -v bytes="$bytes" -v out="$(du -sb "$out" | cut -f1)" -v peak="$peak_kib" \
      -v vm="$vm_kib" -v limit="$limit" -v constant="$constant_mib" -v vm_constant="$vm_constant_mib" 'BEGIN {
        ok = peak / 1024 <= limit * bytes / 1048576 + constant &&
             vm / 1024 <= limit * bytes / 1048576 + vm_constant
        printf "%-8s input %.1f MiB, output %.1f MiB, peak %.1f MiB = %.2f x input, " \
               "address space %.1f MiB = %.2f x input (limits %.0f x input + %d / %d MiB) %s\n",
               kind, bytes / 1048576, out / 1048576, peak / 1024, peak * 1024 / bytes,
               vm / 1024, vm * 1024 / bytes, limit, constant, vm_constant, ok ? "ok" : "MISSED"
        exit ok ? 0 : 1 }' || failed=1
  rm -rf "$out"
  [[ "$kind" == notes* ]] || rm -f "$in"
}

measure hotlist --bookmarks opera6.adr bookmark.htm
measure contacts --contacts contacts.adr contacts.csv
measure giant --bookmarks giant.adr giant.htm
measure notes-md --notes notes.adr notes 3
measure notes-enex --notes notes.adr notes.enex 3
measure notes-html --notes notes.adr notes.html 3
exit "$failed"
