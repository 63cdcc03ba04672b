#!/usr/bin/env bash
# Exit statuses, messages and outputs of quarvo-convert.
# usage: quarvo_convert_test.sh PATH-TO-quarvo-convert
set -u
tool="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # description, expected, actual
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

printf '#CONTACT\r\n\tNAME=A\r\n\tICON=Contact0\r\n\r\n#CONTACT\r\n\tMAIL=b@x\r\n\tICON=Contact0\r\n' > "$work/contacts.adr"
printf 'Opera Hotlist version 2.0\r\n\r\n#URL\r\n\tNAME=a\r\n\tURL=http://a/\r\n\r\n#URL\r\n\tNAME=b\r\n' > "$work/opera6.adr"

out="$("$tool" --contacts "$work/contacts.adr" "$work/c.csv" --bookmarks "$work/opera6.adr" "$work/b.htm")"
check "both conversions succeed" 0 $?
check "counts, one per line" "1 Contacts converted to CSV !
2 Bookmarks converted to HTM !" "$out"
check "csv header written" "First Name,Last Name" "$(head -c 20 "$work/c.csv")"
check "bookmark file written" 2 "$(grep -c '^<DT><A HREF=' "$work/b.htm")"

"$tool" --bookmarks "$work/missing.adr" "$work/empty.htm" > "$work/stdout"
check "missing input is no error" 0 $?
check "missing input gives the bare file" 201 "$(wc -c < "$work/empty.htm" | tr -d ' ')"

"$tool" > /dev/null 2> "$work/stderr"
check "no arguments is a usage error" 2 $?
grep -q '^usage: quarvo-convert' "$work/stderr"
check "usage line printed" 0 $?
"$tool" --contacts only-one-argument > /dev/null 2>&1
check "missing output name is a usage error" 2 $?
"$tool" --frobnicate > /dev/null 2>&1
check "unknown option is a usage error" 2 $?

"$tool" --help > "$work/stdout"
check "--help succeeds" 0 $?
"$tool" --version | grep -q '^quarvo-convert [0-9]'
check "--version prints the version" 0 $?

"$tool" --contacts "$work" "$work/c2.csv" > /dev/null 2> "$work/stderr"
check "a folder as input is a file error" 1 $?
check "file layer message" "quarvo-convert: Cannot open file $work: Is a directory" "$(cat "$work/stderr")"

printf 'x' > "$work/keep.htm"
printf 'Opera Hotlist version 3.0\r\n\r\n#URL\r\n\tURL=a\r\n' > "$work/v3.adr"
"$tool" --bookmarks "$work/v3.adr" "$work/keep.htm" > "$work/stdout" 2> "$work/stderr"
check "unsupported version exit status" 3 $?
check "unsupported version message" "quarvo-convert: Opera Hotlist File Version unknown - can not continue ..." "$(cat "$work/stderr")"
check "output untouched" x "$(cat "$work/keep.htm")"

"$tool" --bookmarks "$work/opera6.adr" "$work/no/such/folder.htm" > /dev/null 2> "$work/stderr"
check "missing output folder is a file error" 1 $?
check "create message" "quarvo-convert: Cannot create file $work/no/such/folder.htm: No such file or directory" "$(cat "$work/stderr")"

[ "$failures" -eq 0 ] && echo "quarvo-convert: all checks passed"
exit "$failures"
