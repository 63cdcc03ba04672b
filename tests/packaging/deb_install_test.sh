#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The package as a user installs it on a fresh Debian: mmdebstrap makes a
# new root from this machine's own package sources, with man-db and
# bash-completion as a desktop system has them, and a user who has an Opera
# profile in ~/.opera. There `apt-get install ./quarvo_*.deb` must find
# every dependency; quarvo-convert runs and converts the profile's files,
# quarvo opens its window on an Xvfb display of this machine (its picture
# is kept), `man quarvo-convert` shows the page, and bash completes
# --layout's values. `apt-get purge quarvo` must then leave the root as it
# was before the install, file for file.
# The log and the window's picture are left in PACKAGE-DIR (install.log,
# quarvo-main-window.png).
# usage: deb_install_test.sh PACKAGE-DIR VERSION
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
package_dir="$1" version="$2"
screenshot="$package_dir/quarvo-main-window.png" log="$package_dir/install.log"
skip() { echo "SKIP: $*"; exit 77; }
for tool in mmdebstrap Xvfb xdotool import; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[ "$(id -u)" -eq 0 ] || skip "making a root with mmdebstrap needs root"
debs=("$package_dir"/quarvo_*.deb)
[ -f "${debs[0]}" ] || skip "no package in $package_dir (deb_package_builds made none)"

# The machine's own package sources, as apt reads them.
sources=()
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [ -s "$file" ] && sources+=("$file")
done
[ "${#sources[@]}" -gt 0 ] || skip "this machine has no apt sources"
suite="$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")"

work="$(mktemp -d)"
chmod 755 "$work"  # apt downloads as its own user, _apt
xvfb_pid=""
cleanup() {
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  # A root that mmdebstrap could not unmount (stopped by the time limit) is
  # unmounted before anything of it is removed, and nothing mounted is entered.
  awk -v work="$work/" 'index($2, work) == 1 { print $2 }' /proc/self/mounts | sort -r |
    xargs -r -n 1 umount --lazy
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT
cp "${debs[0]}" "$work/"

# The window's display. The root shares this machine's network, so its
# programs reach the display's abstract socket without a shared /tmp.
mkfifo "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 30 display <"$work/display" || { cat "$work/xvfb.log"; echo "FAIL: Xvfb did not start"; exit 1; }

started=$SECONDS
rm -f "$screenshot"
# mmdebstrap's root goes into the work folder, removed with it. A root
# thrown away afterwards needs no fsync of every file dpkg writes.
TMPDIR="$work" timeout 1200 mmdebstrap --mode=root --variant=apt --include=man-db,bash-completion,passwd \
  --dpkgopt=force-unsafe-io \
  --customize-hook="bash '$here/deb_install_checks.sh' \"\$1\" '$work' '${debs[0]##*/}' '$version' ':$display' '$screenshot'" \
  "$suite" /dev/null "${sources[@]}" >"$log" 2>&1 ||
  {
    cat "$log"
    echo "FAIL: the install check in a fresh root failed (log above)"
    exit 1
  }
grep -v '^I: ' "$log" || true
echo "installed, checked and purged in a fresh root in $((SECONDS - started)) s"
