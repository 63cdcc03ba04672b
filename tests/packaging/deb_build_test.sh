#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian package, made by CPack from the build tree as
# `cmake --build build --target package` makes it, into a folder of the
# test's own, where the lintian and install tests take it: its version is
# the project's, its dependencies those dpkg-shlibdeps found for the
# programs, and the desktop entry, icons and metainfo in it agree as a
# software centre reads them. CPack itself refuses a package that lacks an
# expected file (packaging/deb/check-contents.cmake).
# usage: deb_build_test.sh CPACK CPACK-CONFIG OUT-DIR VERSION PANDOC
set -u
cpack="$1" config="$2" out="$3" version="$4" pandoc="$5"
for tool in dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -x "$pandoc" ] || { echo "SKIP: pandoc was not found when the build was configured"; exit 77; }
rm -rf "$out"
mkdir -p "$out"
"$cpack" --config "$config" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
debs=("$out"/quarvo_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: no single package in $out"; ls "$out"; exit 1; }
deb="${debs[0]}"

failures=0
check() {  # description, expected, actual
  [ "$2" = "$3" ] && return
  echo "FAIL: $1: expected [$2], got [$3]"
  failures=$((failures + 1))
}
field() { dpkg-deb --field "$deb" "$1"; }
check "the package's version is the project's" "$version" "$(field Version)"
check "the package's name" "quarvo_${version}_$(dpkg --print-architecture).deb" "${deb##*/}"
# dpkg-shlibdeps writes each library's package with its lowest version.
depends="$(field Depends)"
for library in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqscintilla2-qt6-15; do
  [[ ", $depends" == *", $library (>= "* ]] && continue
  echo "FAIL: Depends names no $library with a version, as dpkg-shlibdeps would: $depends"
  failures=$((failures + 1))
done

root="$out/root"
dpkg-deb --extract "$deb" "$root"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate-tree --no-net "$root" || failures=$((failures + 1))
fi

echo "$deb: $(($(stat -c %s "$deb") / 1024)) KiB, installed $(field Installed-Size) KiB"
echo "Depends: $depends"
dpkg-deb --contents "$deb" | awk '{print $1, $6}'
[ "$failures" -eq 0 ]
