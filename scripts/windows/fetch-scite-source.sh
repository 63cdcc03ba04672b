#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# fetch-scite-source.sh FOLDER: puts Debian's SciTE source package (its .dsc
# and tarballs) into FOLDER, through apt-get, the way
# every other dependency arrives. Scintilla's Win32 half, which quarvo.exe's
# viewer is built from, is packaged nowhere else.
#
# apt-get reads source packages only from deb-src entries; this machine's
# package sources are copied as such into a private apt state in FOLDER, so
# neither the system's apt configuration nor any file of the project names a
# host. The caller checks the tarball's hash.
set -euo pipefail
folder=$1
mkdir -p "$folder"
folder="$(cd "$folder" && pwd)"
state="$folder/apt-state"
mkdir -p "$state/sources.list.d" "$state/lists/partial" "$state/cache/archives/partial"

# One-line entries (deb ...) and deb822 stanzas (Types: deb) alike become
# deb-src entries of the same archives.
for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$list" ] || continue
  sed -n -E 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$list"
done >"$state/sources.list.d/machine.list"
for sources in /etc/apt/sources.list.d/*.sources; do
  [ -f "$sources" ] || continue
  sed -E 's/^Types:.*/Types: deb-src/' "$sources"
  echo
done >"$state/sources.list.d/machine.sources"

apt=(apt-get -q
  -o "Dir::Etc::SourceList=$state/sources.list.d/machine.list"
  -o "Dir::Etc::SourceParts=$state/sources.list.d"
  -o "Dir::State::Lists=$state/lists"
  -o "Dir::Cache=$state/cache"
  -o "APT::Sandbox::User=root"
  -o "Debug::NoLocking=true")
# A source without source packages (a third-party archive) makes update
# complain; the package is looked for in the others all the same.
"${apt[@]}" update >"$state/update.log" 2>&1 || true
cd "$folder"
"${apt[@]}" source --download-only scite >"$state/source.log" 2>&1 ||
  { cat "$state/update.log" "$state/source.log" >&2; exit 1; }
