#!/usr/bin/env bash
# Peak memory of quarvo-convert on a large generated hotlist (and contacts
# file), measured with /usr/bin/time -v. The limit: at most 3.5 times the
# input's size. Takes a minute; not part of ./test.sh.
#
#   bench/measure-peak-memory.sh [MIB]     (default 256)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUARVO_PROOF_BUILD:-$root/build-proof}"
mib="${1:-256}"
limit="3.5"

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUARVO_BUILD_APP=OFF > /dev/null
fi
cmake --build "$build" -j 2 --target quarvo-convert quarvo-gen-opera > /dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failed=0
measure() {  # kind option input output
  local kind="$1" option="$2" in="$work/$3" out="$work/$4"
  "$build/bench/quarvo-gen-opera" "$kind" "${mib}M" "$in"
  local bytes peak_kib
  bytes=$(stat -c %s "$in")
  /usr/bin/time -v "$build/tools/quarvo-convert" "$option" "$in" "$out" > /dev/null 2> "$work/time.txt"
  peak_kib=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
  awk -v kind="$kind" -v bytes="$bytes" -v out="$(stat -c %s "$out")" -v peak="$peak_kib" \
      -v limit="$limit" 'BEGIN {
        ratio = peak * 1024 / bytes
        printf "%-8s input %.1f MiB, output %.1f MiB, peak %.1f MiB = %.2f x input (limit %.1f) %s\n",
               kind, bytes / 1048576, out / 1048576, peak / 1024, ratio, limit,
               ratio <= limit ? "ok" : "MISSED"
        exit ratio <= limit ? 0 : 1 }' || failed=1
}

measure hotlist --bookmarks opera6.adr bookmark.htm
measure contacts --contacts contacts.adr contacts.csv
exit "$failed"
