#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The mail export of a generated Opera mail folder (100 000 messages, about
# 1.1 GB) against `cat` of the same .mbs files into one file, and its peak
# memory, which must stay flat (at most 64 MiB resident whatever the store's
# size). Both the copy and the export end by flushing what they wrote to the
# disk. The store is generated under the build tree and removed afterwards;
# it needs about three times its size free. Takes a few minutes; not part of
# ./test.sh.
#
#   bench/measure-mail.sh [MESSAGES]     (default 100000)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUARVO_PROOF_BUILD:-$root/build-proof}"
messages="${1:-100000}"
limit_mib=64

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUARVO_BUILD_APP=OFF > /dev/null
fi
cmake --build "$build" -j 2 --target quarvo-convert quarvo-gen-opera > /dev/null

work="$build/mail-measure"
rm -rf "$work"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work"
need_kib=$((messages * 11 * 3 + 1048576))
free_kib=$(df -Pk "$work" | awk 'NR == 2 {print $4}')
if [ "$free_kib" -lt "$need_kib" ]; then
  echo "measure-mail: $((need_kib / 1024)) MiB free needed in $work, $((free_kib / 1024)) MiB there" >&2
  exit 1
fi

"$build/bench/quarvo-gen-opera" mail "$messages" "$work/mail" > /dev/null
bytes=$(find "$work/mail/store" -name '*.mbs' -printf '%s\n' | awk '{s += $1} END {print s}')
files=$(find "$work/mail/store" -name '*.mbs' | wc -l)

seconds() { date +%s.%N; }
# The plain copy: every message file into one file, flushed.
start=$(seconds)
find "$work/mail/store" -name '*.mbs' -print0 | xargs -0 cat > "$work/cat.out"
sync -f "$work/cat.out"
cat_s=$(awk -v a="$start" -v b="$(seconds)" 'BEGIN {print b - a}')
rm -f "$work/cat.out"

failed=0
export_once() {  # label, options...
  local label="$1"
  shift
  rm -rf "$work/out"
  start=$(seconds)
  /usr/bin/time -v "$build/tools/quarvo-convert" --mail "$work/mail" "$work/out" "$@" > "$work/stdout" 2> "$work/time.txt"
  local took peak
  took=$(awk -v a="$start" -v b="$(seconds)" 'BEGIN {print b - a}')
  peak=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
  awk -v label="$label" -v bytes="$bytes" -v files="$files" -v took="$took" -v cat_s="$cat_s" \
      -v peak="$peak" -v limit="$limit_mib" -v out="$(cat "$work/stdout")" 'BEGIN {
        ok = peak / 1024 <= limit
        printf "%-8s %d files, %.0f MiB: %.1f s = %.0f MiB/s; cat %.1f s = %.0f MiB/s; ratio %.2f; peak %.1f MiB (limit %d) %s [%s]\n",
               label, files, bytes / 1048576, took, bytes / 1048576 / took, cat_s, bytes / 1048576 / cat_s,
               took / cat_s, peak / 1024, limit, ok ? "ok" : "MISSED", out
        exit ok ? 0 : 1 }' || failed=1
  rm -rf "$work/out"
}

export_once mbox
export_once maildir --maildir
exit "$failed"
