#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# lintian on the package that deb_build_test.sh made: no error and no
# warning; the informational tags are printed.
# usage: deb_lintian_test.sh PACKAGE-DIR
set -u
command -v lintian >/dev/null || { echo "SKIP: lintian is not installed"; exit 77; }
debs=("$1"/quarvo_*.deb)
[ -f "${debs[0]}" ] || { echo "SKIP: no package in $1 (deb_package_builds made none)"; exit 77; }
# lintian refuses to run as root unless told that it may.
lintian --allow-root --display-info --fail-on error,warning "${debs[0]}"
status=$?
[ "$status" -eq 0 ] && echo "lintian: no error, no warning"
exit "$status"
