#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs, with apt-get, every package named in the package lists of
# scripts/deps/ that is not installed yet: base.txt and app.txt (the
# program and its quick tests), or with --all every list (the Windows
# build, the sanitizer and fuzz builds, the real programs that read
# Quarvo's files). Lines starting with # are comments.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
lists=("$here/deps/base.txt" "$here/deps/app.txt")
if [ "${1:-}" = "--all" ]; then
  lists=("$here"/deps/*.txt)
elif [ $# -gt 0 ]; then
  echo "usage: install-deps.sh [--all]" >&2
  exit 2
fi
mapfile -t wanted < <(cat "${lists[@]}" | sed -e 's/#.*//' -e 's/[[:space:]]//g' | grep -v '^$' | sort -u)
missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$pkg")
done
[ ${#missing[@]} -gt 0 ] || exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
# A package of another architecture (name:arch) needs that architecture
# enabled before the package lists are read.
for pkg in "${missing[@]}"; do
  arch="${pkg#*:}"
  [ "$arch" != "$pkg" ] || continue
  [ "$arch" = "$(dpkg --print-architecture)" ] && continue
  dpkg --print-foreign-architectures | grep -qx "$arch" ||
    "${sudo_cmd[@]}" dpkg --add-architecture "$arch"
done
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
