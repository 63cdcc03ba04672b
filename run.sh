#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > build.log 2>&1 || { cat build.log; exit 1; }
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target quarvo >> build.log 2>&1 || { tail -n 80 build.log; exit 1; }
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "quarvo: no display found; run it under a virtual one instead: xvfb-run -a ./run.sh" >&2
  exit 1
fi
exec build/app/quarvo "$@"
