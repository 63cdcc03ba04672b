#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. The extra
# checks (sanitizer build, fuzzing, the Windows build under Wine) live in
# scripts/test.d/ and run first; the main test run comes last so that its
# summary line closes the output.
set -euo pipefail
cd "$(dirname "$0")"
export QUARVO_ROOT="$PWD"
jobs="$(nproc 2>/dev/null || echo 2)"
export QUARVO_JOBS="$jobs"

scripts/install-deps.sh

for step in scripts/test.d/*.sh; do
  [ -e "$step" ] || continue
  echo "== ${step##*/}"
  bash "$step"
done

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > build.log 2>&1 || { cat build.log; exit 1; }
cmake --build build -j "$jobs" >> build.log 2>&1 || { tail -n 80 build.log; exit 1; }
echo "== tests"
cd build
status=0
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" > ctest.log 2>&1 || status=$?
cat ctest.log
# ctest lists the skipped tests after its summary; the summary closes the run.
grep -E '^[0-9]+% tests passed' ctest.log | tail -n 1
exit "$status"
