#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real readers of Quarvo's files that come from npm rather than from
# Debian, each installed by name into a folder of its own in the user's
# cache (~/.cache/quarvo/, so that a fresh clone finds it, as ccache's
# objects) and linked into the build tree, where its ctest check finds it
# (the check skips when it is not there): Joplin's command-line client for
# the notes outputs, checked with version 3.5.1. An installed version is
# kept; only a first run, or a new version, installs (about 8 minutes on a
# 2-core machine, most of it building sqlite3; about 300 MB).
set -euo pipefail
root="${QUARVO_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}"
joplin_version=3.5.1
folder="${XDG_CACHE_HOME:-$HOME/.cache}/quarvo/joplin-$joplin_version"
link="$root/build/peer/joplin"
mkdir -p "$(dirname "$link")"
ln -sfn "$folder" "$link"

if [ "$(cat "$folder/installed" 2>/dev/null)" = "$joplin_version" ] &&
  [ -x "$folder/node_modules/.bin/joplin" ]; then
  echo "Joplin $joplin_version is installed in $folder"
  exit 0
fi
if ! command -v npm > /dev/null; then
  echo "npm is not installed (scripts/deps/notes.txt): the Joplin check will be skipped"
  exit 0
fi
rm -rf "$folder"
mkdir -p "$folder"
cd "$folder"
echo "Installing Joplin $joplin_version into $folder"
npm install --no-audit --no-fund --no-save "joplin@$joplin_version" > install.log 2>&1 &
installer=$!
# The step is stopped when it prints nothing for 10 minutes.
while kill -0 "$installer" 2> /dev/null; do
  sleep 60
  kill -0 "$installer" 2> /dev/null && echo "  still installing ($(du -sm node_modules 2> /dev/null | cut -f1) MB so far)"
done
if wait "$installer" && [ -x node_modules/.bin/joplin ]; then
  echo "$joplin_version" > installed
  echo "Joplin $joplin_version installed"
else
  tail -n 20 install.log
  echo "Joplin could not be installed (see $folder/install.log): the Joplin check will be skipped"
fi
