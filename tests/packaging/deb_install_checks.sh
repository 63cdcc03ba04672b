#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The checks of deb_install_test.sh, run by mmdebstrap on this machine once
# the new root is made (its customize hook), with the root's /proc, /sys
# and /dev mounted; mmdebstrap removes the root afterwards.
# usage: deb_install_checks.sh ROOT WORK PACKAGE.deb VERSION DISPLAY SCREENSHOT.png
# (WORK holds the package.)
set -euo pipefail
root="$1" work="$2" deb="$3" version="$4" display="$5" screenshot="$6"
user=ada
export DEBIAN_FRONTEND=noninteractive

# Each command in the root has a time limit, so that a hang fails the
# check with its name instead of running into ctest's limit.
in_root() {
  timeout 600 chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"
}
user_env=(env -i PATH=/usr/bin:/bin HOME="/home/$user" USER="$user" LANG=C.UTF-8 DISPLAY="$display")
as_user() { timeout 60 chroot --userspec="$user:$user" "$root" "${user_env[@]}" "$@" </dev/null; }
step() { echo "== $((SECONDS - started)) s: $*"; }
started=$SECONDS
fail() {
  echo "FAIL: $*"
  exit 1
}
expect() {  # description, expected, actual
  [ "$2" = "$3" ] || fail "$1: expected [$2], got [$3]"
}
# Every file and folder of the root, but for what the system itself keeps
# changing (mounts, temporary files, logs, apt's and man's caches) and what
# the programs keep in the user's cache.
snapshot() {
  in_root find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /run \
    -o -path /tmp -o -path /var/tmp -o -path /var/log -o -path /var/cache/apt \
    -o -path /var/lib/apt/lists -o -path /var/cache/man -o -path /var/cache/debconf \
    -o -path "/home/$user/.cache" \) -prune -o -print | sort
}

step "Debian $(cat "$root/etc/debian_version"), a user with an Opera profile"
in_root useradd --create-home --shell /bin/bash "$user"
opera="$root/home/$user/.opera"
mkdir "$opera"
printf '#CONTACT\r\n\tNAME=Ada Lovelace\r\n\tMAIL=ada@example.org\r\n\r\n' >"$opera/contacts.adr"
printf 'Opera Hotlist version 2.0\r\n\r\n#URL\r\n\tNAME=Debian\r\n\tURL=http://localhost/\r\n\r\n' >"$opera/opera6.adr"
in_root chown -R "$user:$user" "/home/$user/.opera"
cp "$work/$deb" "$root/tmp/"

step "the package's dependencies, as apt finds them"
in_root apt-get satisfy --yes --quiet=2 "$(dpkg-deb --field "$work/$deb" Depends)" >/dev/null
snapshot >"$work/before"

step "apt-get install ./$deb"
in_root sh -c "cd /tmp && apt-get install --yes --quiet=2 './$deb'" >/dev/null
in_root dpkg-query --show --showformat='${Status}\n' quarvo | grep -qx 'install ok installed' ||
  fail "quarvo is not installed"

step "quarvo-convert"
expect "--version" "quarvo-convert $version" "$(as_user quarvo-convert --version)"
expect "--find, in the user's profile" \
  "Contacts: /home/$user/.opera/contacts.adr|Hotlist: /home/$user/.opera/opera6.adr" \
  "$(as_user quarvo-convert --find | grep -E '^(Contacts|Hotlist):' | paste -sd'|')"
expect "the counts of a conversion" "1 Contacts converted to CSV !|1 Bookmarks converted to HTM !" \
  "$(as_user quarvo-convert --contacts "/home/$user/.opera/contacts.adr" /tmp/contacts.csv \
    --bookmarks "/home/$user/.opera/opera6.adr" /tmp/bookmark.htm | paste -sd'|')"

step "quarvo opens its window on display $display"
chroot --userspec="$user:$user" "$root" "${user_env[@]}" quarvo >"$work/quarvo.log" 2>&1 &
quarvo=$!
window="$(DISPLAY="$display" timeout 60 xdotool search --sync --onlyvisible --name '^Quarvo$' | head -n 1)" || true
if [ -z "$window" ]; then
  cat "$work/quarvo.log"
  fail "no window named Quarvo within 60 s"
fi
sleep 2  # the first paint, and the counts of the profile's files
import -display "$display" -window root "$screenshot"
kill "$quarvo" && wait "$quarvo" || true
echo "window $window; its picture: $screenshot"

step "man quarvo-convert"
page="$(as_user env MANWIDTH=80 man quarvo-convert 2>&1)"
[[ "$(head -n 1 <<<"$page")" == QUARVO-CONVERT\(1\)* ]] || fail "man quarvo-convert shows: $(head -n 5 <<<"$page")"
grep -q -- '--layout wab|outlook|thunderbird|google' <<<"$page" || fail "the page has no --layout"
as_user man --where quarvo >/dev/null || fail "man finds no page quarvo"

step "bash completes --layout's values"
# The user's own ~/.bashrc (Debian's default) loads bash-completion, which
# loads the command's completion on first use.
completed="$(as_user bash -ic '
  _completion_loader quarvo-convert
  rule="$(complete -p quarvo-convert)" || exit 1
  echo "$rule" >&2
  function="${rule#*-F }"
  function="${function%% *}"
  COMP_WORDS=(quarvo-convert --layout "")
  COMP_CWORD=2
  COMP_LINE="quarvo-convert --layout "
  COMP_POINT=${#COMP_LINE}
  "$function" quarvo-convert "" --layout
  echo "${COMPREPLY[*]}"' 2>"$work/bash.log")" || {
  cat "$work/bash.log"
  fail "no completion for quarvo-convert"
}
grep '^complete ' "$work/bash.log"
# sed reads the whole help: one that quit at the usage's end would leave the
# rest of the help unwritten, and the program killed by SIGPIPE at random.
values="$(as_user quarvo-convert --help | sed '/^$/,$d' | grep -oP -- '--layout \K[a-z|]+' | tr '|' ' ')"
expect "--layout's values" "$values" "$completed"

step "apt-get purge quarvo"
in_root apt-get purge --yes --quiet=2 quarvo >/dev/null
snapshot >"$work/after"
if ! diff -u "$work/before" "$work/after" >"$work/left"; then
  cat "$work/left"
  fail "the root after the purge differs from the root before the install (above)"
fi
echo "the purge left the root as it was: $(wc -l <"$work/before") files and folders"
step "done"
