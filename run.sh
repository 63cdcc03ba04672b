#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > build.log 2>&1 || { cat build.log; exit 1; }
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target quarvo >> build.log 2>&1 || { tail -n 80 build.log; exit 1; }
no_display() {
  echo "quarvo: no display found; run it under a virtual one instead: xvfb-run -a ./run.sh" >&2
  exit 1
}
if [ "${QT_QPA_PLATFORM:-}" != "offscreen" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  [ -n "${DISPLAY:-}" ] || no_display
  # A local display is a socket; a stale DISPLAY would end in Qt's abort.
  if [[ "$DISPLAY" =~ ^:([0-9]+) ]] && [ ! -S "/tmp/.X11-unix/X${BASH_REMATCH[1]}" ]; then
    no_display
  fi
fi
exec build/app/quarvo "$@"
