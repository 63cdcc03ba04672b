#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every output of quarvo-convert against the default one of the same input:
# wall time (the fastest of three runs), peak resident memory (/usr/bin/time -v) and both as a share
# of the input, for a generated hotlist and contacts file of MIB MiB, one
# bookmark and one contact whose NAME is MIB MiB, and a hotlist of 10^6
# folders nested in each other. The goals: peak memory at most twice the
# input plus 64 MiB, every output at most twice the default's time. A
# benchmark, not a timed test: prints a table, exits 1 when a goal is
# missed. Mind the disk: the inputs and outputs of 1024 need about 5 GiB.
#
#   bench/measure-outputs.sh [MIB]     (default 64)
#   QUARVO_CONVERT=path/to/quarvo-convert to measure another build
#   QUARVO_INPUTS="hotlist contacts" to measure only those of the inputs
#   (hotlist giant-bookmark nested contacts giant-contact); QUARVO_RUNS=1
#   for one run each
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUARVO_PROOF_BUILD:-$root/build-proof}"
mib="${1:-64}"

if [ -z "${QUARVO_CONVERT:-}" ]; then
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUARVO_BUILD_APP=OFF > /dev/null
  fi
  cmake --build "$build" -j 2 --target quarvo-convert quarvo-gen-opera > /dev/null
fi
convert="${QUARVO_CONVERT:-$build/tools/quarvo-convert}"
gen="${QUARVO_GEN:-$build/bench/quarvo-gen-opera}"

work="$(mktemp -d "${TMPDIR:-/tmp}/quarvo-outputs.XXXXXX")"
trap 'rm -rf "$work"' EXIT

giant_value() {  # bytes: MIB MiB of a character that needs escaping or quoting
  head -c "$((mib << 20))" /dev/zero | tr '\0' '"'
}
make_input() {  # kind file
  case "$1" in
    hotlist | contacts) "$gen" "$1" "${mib}M" "$2" ;;
    giant-bookmark)
      { printf 'Opera Hotlist version 2.0\r\n\r\n#URL\r\n\tNAME='; giant_value
        printf '\r\n\tURL=http://example.com/\r\n\tCREATED=1148873838\r\n\r\n'; } > "$2" ;;
    giant-contact)
      { printf 'Opera Hotlist version 2.0\r\n\r\n#CONTACT\r\n\tNAME='; giant_value
        printf '\r\n\tMAIL=a@example.com\r\n\r\n'; } > "$2" ;;
    nested)  # 10^6 folders, each in the one before
      awk 'BEGIN { printf "Opera Hotlist version 2.0\r\n\r\n";
                   for (i = 0; i < 1000000; i++) printf "#FOLDER\r\n\tNAME=f%d\r\n\tCREATED=1148873838\r\n\r\n", i;
                   for (i = 0; i < 1000000; i++) printf "-\r\n" }' > "$2" ;;
  esac
}

failed=0
default_seconds=0
run() {  # label input output --bookmarks|--contacts [options...]
  local label="$1" in="$2" out="$work/$3" kind="$4"
  shift 4
  local bytes seconds peak_kib=0
  bytes=$(stat -c %s "$in")
  # The fastest of three runs: other work on the machine only adds time.
  seconds=""
  for _ in $(seq "${QUARVO_RUNS:-3}"); do
    if ! /usr/bin/time -v "$convert" "$@" "$kind" "$in" "$out" > /dev/null 2> "$work/time.txt"; then
      echo "  $label: quarvo-convert failed"; tail -n 3 "$work/time.txt"; failed=1; return
    fi
    local s p
    p=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
    s=$(awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); v = 0;
                for (i = 1; i <= n; i++) v = v * 60 + t[i]; print v }' "$work/time.txt")
    if [ -z "$seconds" ] || awk -v a="$s" -v b="$seconds" 'BEGIN { exit !(a < b) }'; then
      seconds="$s"
    fi
    peak_kib=$(( ${peak_kib:-0} > p ? ${peak_kib:-0} : p ))
  done
  [ "$label" = default ] && default_seconds="$seconds"
  awk -v label="$label" -v bytes="$bytes" -v out="$(stat -c %s "$out")" -v peak="$peak_kib" \
      -v s="$seconds" -v d="$default_seconds" 'BEGIN {
        memory_ok = peak / 1024 <= 2 * bytes / 1048576 + 64
        time_ok = label == "default" || s <= 2 * d + 0.05
        printf "  %-22s %7.2f s (%5.2f x default)  peak %7.1f MiB = %5.2f x input  output %7.1f MiB  %s\n",
               label, s, (d > 0 ? s / d : 0), peak / 1024, peak * 1024 / bytes, out / 1048576,
               memory_ok && time_ok ? "ok" : "MISSED"
        exit memory_ok && time_ok ? 0 : 1 }' || failed=1
  rm -f "$out"
}

input="$work/input.adr"
wanted() { [[ " ${QUARVO_INPUTS:-hotlist giant-bookmark nested contacts giant-contact} " == *" $1 "* ]]; }
if wanted hotlist; then
  echo "hotlist, ${mib} MiB"
  make_input hotlist "$input"
  run default "$input" out.htm --bookmarks
  run "browser flavour" "$input" out.htm --bookmarks --flavour browser
  run "explorer + --report" "$input" out.htm --bookmarks --report
  run "browser + --report" "$input" out.htm --bookmarks --flavour browser --report
fi
if wanted giant-bookmark; then
  echo "one bookmark, NAME ${mib} MiB of quotes"
  make_input giant-bookmark "$input"
  run default "$input" out.htm --bookmarks
  run "browser flavour" "$input" out.htm --bookmarks --flavour browser
fi
if wanted nested; then
  echo "10^6 nested folders"
  make_input nested "$input"
  run default "$input" out.htm --bookmarks
  run "browser flavour" "$input" out.htm --bookmarks --flavour browser
fi
if wanted contacts; then
  echo "contacts, ${mib} MiB"
  make_input contacts "$input"
  run default "$input" out.csv --contacts
  run ".vcf 3.0" "$input" out.vcf --contacts
  run ".vcf 2.1" "$input" out.vcf --contacts --vcard 2.1
  run "--layout outlook" "$input" out.csv --contacts --layout outlook
  run "--encoding ansi" "$input" out.csv --contacts --encoding ansi
fi
if wanted giant-contact; then
  echo "one contact, NAME ${mib} MiB of quotes"
  make_input giant-contact "$input"
  run default "$input" out.csv --contacts
  run ".vcf 3.0" "$input" out.vcf --contacts
  run "--layout outlook" "$input" out.csv --contacts --layout outlook
  run "--encoding ansi" "$input" out.csv --contacts --encoding ansi
fi
exit "$failed"
