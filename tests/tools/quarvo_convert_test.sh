#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
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

printf 'old' > "$work/old.csv"
"$tool" --contacts "$work/missing.adr" "$work/old.csv" --bookmarks "$work/opera6.adr" "$work/b2.htm" > "$work/stdout" 2> "$work/stderr"
check "missing input is a file error" 1 $?
check "missing input message" "quarvo-convert: Cannot open file $work/missing.adr: No such file or directory" "$(cat "$work/stderr")"
check "missing input replaces nothing" old "$(cat "$work/old.csv")"
check "the other conversion still runs" "2 Bookmarks converted to HTM !" "$(cat "$work/stdout")"
check "and writes its file" 2 "$(grep -c '^<DT><A HREF=' "$work/b2.htm")"

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
check "no count after an unsupported version" "" "$(cat "$work/stdout")"

"$tool" --bookmarks "$work/opera6.adr" "$work/no/such/folder.htm" > /dev/null 2> "$work/stderr"
check "missing output folder is a file error" 1 $?
check "create message" "quarvo-convert: Cannot create file $work/no/such/folder.htm: No such file or directory" "$(cat "$work/stderr")"

"$tool" --contacts "$work/contacts.adr" "$work/c.csv" > /dev/full 2> /dev/null
check "a full standard output is a file error" 1 $?
"$tool" --contacts "$work/contacts.adr" "$work/c.csv" >&- 2> /dev/null
check "a closed standard output is a file error" 1 $?

# The contacts outputs: the extension picks vCard, the options the rest;
# what Windows-1252 cannot hold is named on stderr.
printf '#CONTACT\n\tNAME=Zo\xc3\xab \xc5\x81\n\tMAIL=z@x\n' > "$work/named.adr"
out="$("$tool" --contacts "$work/named.adr" "$work/c.vcf" --vcard 2.1 --encoding ansi --report 2> "$work/stderr")"
check "vCard count, then the report" "1 Contacts converted to vCard !|Contacts report:|contacts with a name: 1" \
  "$(printf '%s\n' "$out" | head -3 | paste -sd '|')"
check "the report names the replaced characters" 1 "$(printf '%s\n' "$out" | grep -c "Windows-1252 cannot hold")"
check "vCard 2.1 in Windows-1252" "FN;CHARSET=WINDOWS-1252;ENCODING=QUOTED-PRINTABLE:Zo=EB ?" \
  "$(grep '^FN' "$work/c.vcf" | tr -d '\r')"
check "replaced characters named" \
  "$(printf "quarvo-convert: not in Windows-1252, written as '?': Zo\xc3\xab \xc5\x81: '\xc5\x81' (U+0141)")" \
  "$(cat "$work/stderr")"
"$tool" --contacts "$work/named.adr" "$work/c.csv" --layout google > /dev/null
check "Google layout" "First Name,Middle Name,Last Name" "$(head -c 32 "$work/c.csv")"
"$tool" --contacts "$work/named.adr" "$work/c.vcf" --encoding utf8-bom > /dev/null
check "a vCard gets no byte-order mark" "BEGIN:VCARD" "$(head -c 11 "$work/c.vcf")"

# The browser flavour, its report, and where Opera's files are found.
printf 'Opera Hotlist version 2.0\n\n#FOLDER\n\tNAME=Trash\n\tTRASH FOLDER=YES\n\n#URL\n\tNAME=gone\n\tURL=http://g/\n-\n#SEPERATOR\n\n#URL\n\tNAME=k\n\tURL=http://k/\n' > "$work/trash.adr"
out="$("$tool" --bookmarks "$work/trash.adr" "$work/f.htm" --flavour browser --report)"
check "browser flavour succeeds" 0 $?
check "the report follows the count" "1 Bookmarks converted to HTM !|Bookmarks report:|bookmarks: 1|trash items left out: 1" \
  "$(printf '%s\n' "$out" | grep -E 'converted|report|^bookmarks|trash' | paste -sd '|')"
check "a separator is a rule, the trash left out" "1 0" "$(grep -c '<HR>' "$work/f.htm") $(grep -c gone "$work/f.htm")"
"$tool" --bookmarks "$work/trash.adr" "$work/f.htm" --flavour browser --keep-trash > /dev/null
check "--keep-trash keeps it as a folder" 1 "$(grep -c '<DT><H3>Trash</H3>' "$work/f.htm")"
mkdir -p "$work/sessions"
printf '[Speed Dial 2]\nTitle=two\nUrl=http://2/\n[Speed Dial 1]\nUrl=http://e/\nExtension ID=x\n' > "$work/speeddial.ini"
printf '[1]\nid=1\ntype=0\n[2]\nparent=1\ntype=1\ncurrent history=1\n[2history url]\n0=http://t/\n' > "$work/sessions/autosave.win"
printf '[Search Engine 1]\nName=&S\nURL=http://s/?q=%%s\nKey=s\n[Search Engine 2]\nURL=http://p/\nIs post=1\n' > "$work/search.ini"
out="$("$tool" --bookmarks "$work/trash.adr" "$work/f.htm" --flavour browser --speed-dial "$work/speeddial.ini" \
  --sessions "$work/sessions" --search-engines "$work/search.ini" --report)"
check "the links beside the hotlist succeed" 0 $?
check "the links counted, what was left out too" "4 Bookmarks converted to HTM !|speed dials: 1|extension speed dials left out: 1|session tabs: 1|search engines: 1|search engines sending POST left out (a bookmark cannot): 1" \
  "$(printf '%s\n' "$out" | grep -E 'converted|^speed|^extension|tabs:|^search' | paste -sd '|')"
check "the links' folders after the hotlist's" "k|Speed Dial|two|Sessions|Last session|Window 1|http://t/|Search engines|S" \
  "$(grep -oE '<H3>[^<]*|">[^<]*</A>' "$work/f.htm" | sed -E 's/^<H3>|^">|<\/A>$//g' | paste -sd '|')"
check "a search engine's key is its keyword" 1 "$(grep -c 'HREF="http://s/?q=%s" SHORTCUTURL="s">S<' "$work/f.htm")"
# The browsers' own files: a .json name is Firefox's backup; both parse, and
# hold the same tree (the separator and the keyword only in Firefox's).
out="$("$tool" --bookmarks "$work/trash.adr" "$work/f.JSON" --speed-dial "$work/speeddial.ini" \
  --sessions "$work/sessions" --session-history --search-engines "$work/search.ini" --report)"
check "a .json output is Firefox's backup, the session history reaching the reader" \
  "4 Bookmarks converted to Firefox JSON !|session history pages: 0" \
  "$(printf '%s\n' "$out" | grep -E 'converted|^session history' | paste -sd '|')"
out="$("$tool" --bookmarks "$work/trash.adr" "$work/Bookmarks" --flavour chromium --keep-trash --report)"
check "Chromium's file keeps the trash when asked, counts what it cannot hold" "2 Bookmarks converted to Chromium Bookmarks !|separators left out (Chromium has none): 1" \
  "$(printf '%s\n' "$out" | grep -E 'converted|^separators' | paste -sd '|')"
if command -v python3 > /dev/null; then
  tree() {  # FILE: each item's kind, title and keyword, in order
    python3 -c '
import json, sys
data = json.load(open(sys.argv[1], encoding="utf-8"))
def walk(node):
    for child in node.get("children", []):
        print(child.get("type"), child.get("title", child.get("name")), child.get("keyword", ""))
        walk(child)
walk(data["children"][0] if "children" in data else data["roots"]["other"])' "$1" | paste -sd '|'
  }
  check "Firefox's backup parses and holds the tree" "text/x-moz-place-separator None |text/x-moz-place k |text/x-moz-place-container Speed Dial |text/x-moz-place two |text/x-moz-place-container Sessions |text/x-moz-place-container Last session |text/x-moz-place-container Window 1 |text/x-moz-place http://t/ |text/x-moz-place-container Search engines |text/x-moz-place S s" \
    "$(tree "$work/f.JSON")"
  check "Chromium's file parses and holds the tree" "folder Trash |url gone |url k " "$(tree "$work/Bookmarks")"
fi
mkdir -p "$work/home/.opera"
printf 'Opera Hotlist version 2.0\n\n#NOTE\n\tNAME=n\n' > "$work/my notes.adr"
printf '[User Prefs]\nHot List File Ver2=%s\n[MailBox]\nNotesFile=%s\n' "$work/opera6.adr" "$work/my notes.adr" \
  > "$work/home/.opera/operaprefs.ini"
check "--find follows the ini file, and finds the links beside the hotlist" "Contacts: not found|Hotlist: $work/opera6.adr|Notes: $work/my notes.adr|Speed Dial: $work/speeddial.ini|Sessions: $work/sessions/|Search engines: $work/search.ini|Mail: not found" \
  "$(HOME="$work/home" "$tool" --find | paste -sd '|')"


# Where Opera's files are not: a profile that is a link to itself, an ini
# file too large to be Opera's (named on stderr); and a relative name in the
# ini file is taken in the profile folder.
mkdir -p "$work/loop" "$work/rel/.opera/sub" "$work/big/.opera"
ln -s .opera "$work/loop/.opera"
check "--find: a link loop holds nothing" "Contacts: not found|Hotlist: not found|Notes: not found|Speed Dial: not found|Sessions: not found|Search engines: not found|Mail: not found" \
  "$(HOME="$work/loop" "$tool" --find | paste -sd '|')"
: > "$work/rel/.opera/sub/my.adr"
printf '[User Prefs]\nHot List File Ver2=sub/my.adr\n' > "$work/rel/.opera/opera6.ini"
check "--find: a relative name is in the profile" "Hotlist: $work/rel/.opera/sub/my.adr" \
  "$(cd "$work" && HOME="$work/rel" "$tool" --find | grep '^Hotlist')"
cp "$work/home/.opera/operaprefs.ini" "$work/big/.opera/operaprefs.ini"
truncate -s 17M "$work/big/.opera/operaprefs.ini"
check "--find: a 17 MiB ini file is not read" "Hotlist: not found" \
  "$(HOME="$work/big" "$tool" --find 2> "$work/stderr" | grep '^Hotlist')"
check "--find: and that is said" 1 "$(grep -c 'operaprefs.ini: not read, as it is larger than 16 MiB' "$work/stderr")"

# An output that is the standard output, however named, gets the file's
# bytes where the standard output stands; the counts and the report then go
# to stderr.
"$tool" --contacts "$work/contacts.adr" "$work/ref.csv" --bookmarks "$work/opera6.adr" "$work/ref.htm" > /dev/null
cd "$work" || exit 1  # where a tool that took "-" for a file would make it
for name in - /dev/stdout /proc/self/fd/1 "$work/same.out"; do
  "$tool" --bookmarks "$work/opera6.adr" "$name" --report > "$work/same.out" 2> "$work/stderr"
  check "$name: exit status" 0 $?
  check "$name: the bookmark file on stdout" "$(cksum < "$work/ref.htm")" "$(cksum < "$work/same.out")"
  check "$name: the count and the report on stderr" "2 Bookmarks converted to HTM !|Bookmarks report:" \
    "$(head -n 2 "$work/stderr" | paste -sd '|')"
done
check "the contacts through a pipe" "$(cksum < "$work/ref.csv")" \
  "$("$tool" --contacts "$work/contacts.adr" - 2> /dev/null | cksum)"
"$tool" --contacts "$work/contacts.adr" - > /dev/full 2> "$work/stderr"
check "a full standard output as the output is a file error" "1|quarvo-convert: Stream write error: No space left on device" \
  "$?|$(cat "$work/stderr")"
printf 'kept\n' > "$work/appended.out"
"$tool" --contacts "$work/contacts.adr" /dev/stdout >> "$work/appended.out" 2> /dev/null
check "appended after what the file held" "$( (echo kept; cat "$work/ref.csv") | cksum)" "$(cksum < "$work/appended.out")"
cp "$work/opera6.adr" "$work/input.out"
"$tool" --bookmarks "$work/input.out" - >> "$work/input.out" 2> "$work/stderr"
status=$?
check "the input as the standard output is refused" "2|$(cksum < "$work/opera6.adr")" "$status|$(cksum < "$work/input.out")"
check "and the message names it" "quarvo-convert: Output file - is the same file as input file $work/input.out: nothing converted" \
  "$(cat "$work/stderr")"
cd - > /dev/null || exit 1

# Names reach the terminal escaped, and a contact is named briefly.
"$tool" --contacts "$work/$(printf '\033]0;T\a')x.adr" "$work/o.csv" 2> "$work/stderr"
check "a name's escape bytes shown as escapes" \
  "quarvo-convert: Cannot open file $work/\\e]0;T\\x07x.adr: No such file or directory" "$(cat "$work/stderr")"
python3 -c 'import sys; sys.stdout.buffer.write(("#CONTACT\n\tNAME=" + "a" * 100000 + "".join(chr(0x4E00 + i) for i in range(25)) + "\n").encode())' > "$work/long.adr"
"$tool" --contacts "$work/long.adr" "$work/long.csv" --encoding ansi > /dev/null 2> "$work/stderr"
check "a long name with replaced characters: one short line" "1 yes" \
  "$(wc -l < "$work/stderr") $([ "$(wc -c < "$work/stderr")" -lt 600 ] && echo yes)"
check "naming the first characters and how many more" 1 "$(grep -c "aaa\.\.\.: '.*' (U+4E00), .* and 5 more$" "$work/stderr")"

# The mail export: the mailboxes and the sheet, the Maildir, a folder of the
# user's replaced only with --force, and the mail folder in --find.
mail="$work/home/.opera/mail"
mkdir -p "$mail/store/account1/2014/06/30" "$mail/store/drafts"
printf '[Account1]\nAccount Name=Home\nIncoming Password=secret\n' > "$mail/accounts.ini"
printf 'From a@x Mon Jun 30 10:00:00 2014 1\r\nSubject: one\r\n\r\nFrom me\r\n' > "$mail/store/account1/2014/06/30/1.mbs"
printf 'From  Mon Jun 30 11:00:00 2014 2\r\nSubject: draft\r\n\r\nx\r\n' > "$mail/store/drafts/2.mbs"
out="$("$tool" --mail "$mail" "$work/mailout" --report)"
check "mail export succeeds" 0 $?
check "mail count and report" "2 Messages converted to mbox !|Mail report:|mailboxes written: 2|messages written: 2" \
  "$(printf '%s\n' "$out" | head -4 | paste -sd '|')"
check "mboxes and sheet" "Drafts.mbox Home.mbox accounts.html" "$(ls "$work/mailout" | paste -sd ' ')"
check "mboxrd quoting, CR LF kept" "From a@x Mon Jun 30 10:00:00 2014|Subject: one||>From me|" \
  "$(tr -d '\r' < "$work/mailout/Home.mbox" | paste -sd '|')"
check "no password on the sheet" 0 "$(grep -c secret "$work/mailout/accounts.html")"
"$tool" --mail "$mail" "$work/mailout" --maildir > /dev/null 2> "$work/stderr"
check "a folder with files is refused" 1 $?
check "refusal message" "quarvo-convert: Cannot create file $work/mailout: Folder is not empty" "$(cat "$work/stderr")"
"$tool" --mail "$mail" "$work/mailout" --maildir --lf --force > /dev/null
check "--force replaces it whole" "Drafts Home accounts.html" "$(ls "$work/mailout" | paste -sd ' ')"
check "Maildir message, LF line ends" "Subject: one||From me" "$(cat "$work"/mailout/Home/cur/* | paste -sd '|')"
check "--find lists the mail folder and its mailboxes" "Mail: $mail/|  Home: 1 message|  Drafts: 1 message" \
  "$(HOME="$work/home" "$tool" --find | tail -n 3 | paste -sd '|')"
ln -s nowhere "$mail/store/account1/2014/06/30/3.mbs"
"$tool" --mail "$mail" "$work/mailout2" > "$work/stdout" 2> "$work/stderr"
check "an unreadable message file is a file error" 1 $?
check "it is named, the rest written" "2 Messages converted to mbox !|quarvo-convert: not read, left out: $mail/store/account1/2014/06/30/3.mbs: Cannot open file $mail/store/account1/2014/06/30/3.mbs: No such file or directory" \
  "$(cat "$work/stdout" "$work/stderr" | paste -sd '|')"

# The notes: the output's name picks the format, a folder is written whole
# and never mixed with the user's files, the trash is left out unless kept.
printf 'Opera Hotlist version 2.0\n\n#FOLDER\n\tNAME=Trash\n\tTRASH FOLDER=YES\n\n#NOTE\n\tNAME=gone\n-\n#FOLDER\n\tNAME=Work\n\n#NOTE\n\tNAME=Plan: a/b\x02\x02- step\n\tCREATED=1449469720\n-\n#SEPERATOR\n' \
  > "$work/notes.adr"
out="$("$tool" --notes "$work/notes.adr" "$work/notes" --report)"
check "notes to Markdown" "1 Notes converted to Markdown !|notes: 1|notes in the trash left out: 1" \
  "$(printf '%s\n' "$out" | grep -E 'converted|^notes' | paste -sd '|')"
check "a Markdown file per note, named for the file system" "Plan_ a_b.md" "$(ls "$work/notes/Work")"
check "its text, escaped for Markdown" 'Plan: a/b\|\- step' "$(tail -n 2 "$work/notes/Work/Plan_ a_b.md" | paste -sd '|')"
"$tool" --notes "$work/notes.adr" "$work/notes" > /dev/null 2> "$work/stderr"
check "a folder with files in it is refused" 1 $?
check "and named with its cause" "quarvo-convert: Cannot create file $work/notes: Folder is not empty" "$(cat "$work/stderr")"
"$tool" --notes "$work/notes.adr" "$work/notes" --force --keep-trash > /dev/null
check "--force replaces it whole, --keep-trash keeps the trash" "Trash|Work" "$(ls "$work/notes" | paste -sd '|')"
"$tool" --notes "$work/notes.adr" "$work/notes.enex" > /dev/null
check "ENEX" 1 "$(grep -c '<tag>Work</tag>' "$work/notes.enex")"
"$tool" --notes "$work/notes.adr" "$work/NOTES.HTM" > /dev/null
check "one page" 1 "$(grep -c '<article>' "$work/NOTES.HTM")"
"$tool" --notes "$work/notes.adr" "$work/per-folder" --enex-per-folder > /dev/null
check "one ENEX per folder" "Work.enex" "$(ls "$work/per-folder")"
printf 'Opera Hotlist version 3.0\n\n#NOTE\n\tNAME=x\n' > "$work/v3notes.adr"
"$tool" --notes "$work/v3notes.adr" "$work/v3" > /dev/null 2> "$work/stderr"
check "another version writes nothing" "3 no folder" "$? $([ -e "$work/v3" ] && echo folder || echo no folder)"

# The whole profile: listed with the counts of each kind, the passwords and
# cookies named but never copied; exported into one folder, a kind left out
# on request; several profiles found make the user name one.
prof="$work/home/.opera"
cp "$work/notes.adr" "$work/my notes.adr"  # the one the ini file names
printf 'secret' > "$prof/wand.dat"
check "--profile lists each kind" "Profile $prof/|  Bookmarks: 2 bookmarks, 0 folders, 0 in Opera's trash (left out) ($work/opera6.adr)|  Notes: 1 notes, 1 folders, 1 in Opera's trash (left out) ($work/my notes.adr)|  Mail: 2 mailboxes, 2 messages, 0 accounts without mail, 1 unreadable files of the store ($mail/)" \
  "$(HOME="$work/home" "$tool" --profile | head -n 4 | paste -sd '|')"
check "and the passwords with their warning" "  $prof/wand.dat (6 bytes): saved passwords: not read and not copied by Quarvo" \
  "$(HOME="$work/home" "$tool" --profile | grep -o '^.*wand.dat.*by Quarvo')"
out="$("$tool" --profile "$prof" --export "$work/whole" --without mail --report)"
check "--export writes each kind and the report" 0 $?
check "its lines" "Bookmarks exported to bookmarks.html, bookmarks.json, Bookmarks|Notes exported to notes/, notes.enex|Left out: mail|Profile exported to $work/whole, see report.html" \
  "$(printf '%s\n' "$out" | grep -E 'exported|Left out' | paste -sd '|')"
check "the folder holds the kinds' files, not the passwords" "Bookmarks bookmarks.html bookmarks.json notes notes.enex report.html" \
  "$(ls "$work/whole" | paste -sd ' ')"
"$tool" --profile "$prof" --export "$work/whole" > /dev/null 2> "$work/stderr"
check "an export folder with files is refused" 1 $?
"$tool" --profile "$prof" --export "$work/whole" --force > /dev/null 2> "$work/stderr"
check "--force replaces it whole; the unreadable message is a file error" "1 Bookmarks bookmarks.html bookmarks.json mail notes notes.enex report.html" "$? $(ls "$work/whole" | paste -sd ' ')"
check "and said" "quarvo-convert: Mail: 1 files could not be read and were left out; report.html names them" "$(cat "$work/stderr")"
check "report.html names it" 1 "$(grep -c "30/3.mbs" "$work/whole/report.html")"
mkdir -p "$work/two/a" "$work/two/b"
: > "$work/two/a/contacts.adr"
: > "$work/two/b/contacts.adr"
"$tool" --profile "$work/two" --export "$work/twoout" > /dev/null 2> "$work/stderr"
check "several profiles: name one" "2 quarvo-convert: Several Opera profiles found, name one with --profile DIR: $work/two/a/, $work/two/b/" \
  "$? $(cat "$work/stderr")"
printf 'Opera Hotlist version 3.0\n' > "$work/two/a/notes.adr"
"$tool" --profile "$work/two/a" --export "$work/v3out" > /dev/null 2> "$work/stderr"
check "a kind not read is named, the rest written" "3 quarvo-convert: Notes not converted: $work/two/a/notes.adr: its version is not 2.0, which is the only one Quarvo reads|contacts.csv contacts.vcf report.html" \
  "$? $(cat "$work/stderr")|$(ls "$work/v3out" | paste -sd ' ')"

# The real samples as one profile: the mail, Speed Dial, sessions and search
# engines of one user's profile, with that user's hotlist and contacts, and
# the notes of another.
corpus="$(dirname "$0")/../../../shared/corpus"
if [ -d "$corpus/profile/opera-config" ]; then
  real="$work/real"
  mkdir -p "$real"
  for name in mail sessions speeddial.ini search.ini operaprefs.ini; do
    ln -s "$(realpath "$corpus/profile/opera-config/$name")" "$real/$name"
  done
  ln -s "$(realpath "$corpus/opera/opera-config__bookmarks.adr")" "$real/bookmarks.adr"
  ln -s "$(realpath "$corpus/opera/opera-config__contacts.adr")" "$real/contacts.adr"
  ln -s "$(realpath "$corpus/profile/tmp/notes.adr")" "$real/notes.adr"
  "$tool" --profile "$real" > "$work/listing"
  check "the real profile listed" 7 "$(grep -c '^  ' "$work/listing")"
  check "its links counted" \
    "Speed Dial: 55 speed dials|Search engines: 15 search engines, 8 deleted search engines left out, 3 search engines sending POST left out (a bookmark cannot)" \
    "$(grep -E '^  (Speed Dial|Search engines):' "$work/listing" | sed -E 's/^  //; s/ \(\/[^)]*\)$//' | paste -sd '|')"
  "$tool" --profile "$real" --export "$work/realout" > /dev/null
  check "and exported" "0 15" "$? $(cat "$work"/realout/mail/*.mbox | grep -c '^From ')"
  links="$(grep -c '<DT><A ' "$work/realout/bookmarks.html")"
  check "as many links in each bookmark file" "$links $links" \
    "$(grep -c '"uri":' "$work/realout/bookmarks.json") $(grep -c '"url":' "$work/realout/Bookmarks")"
else
  echo "SKIP: the real profile samples ($corpus/profile) are not there"
fi

# Runs that must leave every file as it was: arguments (names inside the
# runs folder), exit status, the first line on stderr.
runs="$work/runs"
mkdir "$runs"
cp "$work/contacts.adr" "$runs/c.adr"
cp "$work/opera6.adr" "$runs/h.adr"
ln -s h.adr "$runs/link.adr"
mkdir -p "$runs/m/store"
printf 'old' > "$runs/old.csv"
mkdir "$runs/sub"
state() { (cd "$runs" && ls -A && cat c.adr h.adr old.csv | cksum); }
before="$(state)"
while IFS='|' read -r args status message; do
  (cd "$runs" && "$tool" $args > /dev/null 2> ../stderr)
  check "$args: exit status" "$status" $?
  check "$args: message" "quarvo-convert: $message" "$(head -n 1 "$work/stderr")"
  check "$args: files as they were" "$before" "$(state)"
done <<'EOF'
--bookmarks h.adr h.adr|2|Output file h.adr is the same file as input file h.adr: nothing converted
--bookmarks h.adr ./link.adr|2|Output file ./link.adr is the same file as input file h.adr: nothing converted
--contacts c.adr c.adr|2|Output file c.adr is the same file as input file c.adr: nothing converted
--contacts c.adr h.adr --bookmarks h.adr out.htm|2|Output file h.adr is the same file as input file h.adr: nothing converted
--contacts c.adr h.adr --bookmarks h.adr c.adr|2|Output file h.adr is the same file as input file h.adr: nothing converted
--contacts c.adr out.x --bookmarks h.adr ./out.x|2|Output files out.x and ./out.x are the same file: nothing converted
--contacts --bookmarks h.adr|2|--contacts takes two file names, not --bookmarks
--bookmarks h.adr --contacts|2|--bookmarks takes two file names, not --contacts
--help --contacts c.adr old.csv|2|--help and --version do not go with a conversion
--contacts c.adr old.csv --version|2|--help and --version do not go with a conversion
--contacts gone.adr old.csv|1|Cannot open file gone.adr: No such file or directory
--contacts c.adr out.vcf --layout outlook|2|--layout is for a CSV output; the .vcf output gets vCards
--contacts c.adr out.csv --vcard 2.1|2|--vcard is for a .vcf output
--contacts c.adr out.vcf --encoding ansi|2|--encoding ansi goes with --vcard 2.1: a vCard 3.0 file is always UTF-8
--contacts c.adr out.vcf --vcard 3.0 --encoding ansi|2|--encoding ansi goes with --vcard 2.1: a vCard 3.0 file is always UTF-8
--contacts c.adr out.csv --layout outlook --layout google|2|--layout is given twice
--contacts c.adr out.csv --encoding latin1|2|--encoding takes utf8|utf8-bom|ansi
--encoding ansi --bookmarks h.adr out.htm|2|--layout, --encoding and --vcard go with --contacts
--bookmarks h.adr old.csv --keep-trash|2|--keep-trash goes with a .vcf contacts output, --flavour browser, firefox or chromium, or --notes: the other outputs keep the trash
--notes c.adr .|2|Output folder . holds input file c.adr: nothing converted
--notes h.adr sub --contacts c.adr sub/c.csv|2|Output folder sub holds output file sub/c.csv: nothing converted
--notes h.adr h.adr|2|Output folder h.adr is the same file as input file h.adr: nothing converted
--notes h.adr out.enex --notes h.adr x|2|--notes is given twice
--notes h.adr out.enex --enex-per-folder|2|--enex-per-folder writes a folder: name it without .enex or .html
--notes h.adr out.html --force|2|--force goes with a folder output (--notes to a folder, --mail or --export)
--profile . --export|2|--export takes an output folder
--export out|2|--export and --without go with --profile
--profile . --without mail|2|--without goes with --export
--profile . --export out --without mail,passwords|2|--without takes kinds separated by commas, of bookmarks, contacts, notes, mail, speed-dial, sessions, search-engines
--profile --find|2|--profile goes with --export, --without, --force and --report only
--profile --report|2|--report goes with a conversion
--profile . --profile|2|--profile is given twice
--profile gone|1|Cannot open file gone: No such file or directory
--profile m --export m/store/out|2|Output folder m/store/out is or lies inside the mail folder m/: nothing converted
--profile m --export .|2|Output folder . is or holds m/ of the profile: nothing converted
--bookmarks h.adr out.htm --enex-per-folder|2|--enex-per-folder goes with --notes
--notes h.adr dir --force --force|2|--force is given twice
--bookmarks h.adr old.csv --flavour opera|2|--flavour takes explorer, browser, firefox or chromium
--bookmarks h.adr out.Json --flavour explorer|2|a bookmark output named .json is a JSON file: --flavour explorer and browser write HTML (name it .htm or .html, or use --flavour firefox or chromium)
--contacts c.adr old.csv --flavour browser|2|--flavour goes with --bookmarks
--bookmarks h.adr out.htm --speed-dial c.adr|2|--speed-dial, --sessions and --search-engines go with --bookmarks and --flavour browser, firefox or chromium: the Internet Explorer flavour holds the hotlist alone
--contacts c.adr old.csv --search-engines c.adr|2|--speed-dial, --sessions and --search-engines go with --bookmarks and --flavour browser, firefox or chromium: the Internet Explorer flavour holds the hotlist alone
--bookmarks h.adr out.htm --flavour browser --sessions|2|--sessions takes a file or a folder
--bookmarks h.adr out.htm --flavour browser --session-history|2|--session-history goes with --sessions
--bookmarks h.adr out.htm --flavour browser --speed-dial --report|2|--speed-dial takes a file
--bookmarks h.adr out.htm --flavour browser --search-engines c.adr --search-engines c.adr|2|--search-engines is given twice
--bookmarks h.adr c.adr --flavour browser --speed-dial c.adr|2|Output file c.adr is the same file as input file c.adr: nothing converted
--bookmarks h.adr out.htm --flavour browser --speed-dial gone.ini|1|Cannot open file gone.ini: No such file or directory
--find --bookmarks h.adr old.csv|2|--find goes alone
--contacts c.adr/x old.csv|1|Cannot open file c.adr/x: Not a directory
--report --contacts c.adr old.csv --report|2|--report is given twice
--find --find|2|--find is given twice
--help -h|2|-h is given twice
--version --version|2|--version is given twice
--contacts c.adr - --bookmarks h.adr /dev/stdout|2|Output files - and /dev/stdout are the same file: nothing converted
--maildir --contacts c.adr old.csv|2|--maildir and --lf go with --mail
--mail m|2|--mail takes a mail folder and an output folder
--mail m --lf out|2|--mail takes a mail folder and an output folder, not --lf
--mail m out --mail m out2|2|--mail is given twice
--mail m out --maildir --maildir|2|--maildir is given twice
--mail m m/store/out|2|Output folder m/store/out is or lies inside the mail folder m: nothing converted
--mail m .|2|Output folder . holds the mail folder m: nothing converted
--contacts c.adr m/c.csv --mail m out|2|Output file m/c.csv lies in the mail folder m: nothing converted
--contacts c.adr old.csv --mail m .|2|Output folder . holds the mail folder m: nothing converted
--mail gone out|1|Cannot open file gone: No such file or directory
--mail c.adr out|1|Cannot open file c.adr: not an Opera mail folder: it has no accounts.ini and no store folder
EOF

[ "$failures" -eq 0 ] && echo "quarvo-convert: all checks passed"
exit "$failures"
