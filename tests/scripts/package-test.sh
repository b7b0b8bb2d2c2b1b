#!/usr/bin/env bash
# `cpack -G DEB` from the build folder: the package's name, metadata,
# dependencies and contents, and its install tree checked like `cmake --install`'s.
#   package-test.sh BUILD_DIR VERSION
set -euo pipefail
source "$(dirname "$0")/installed-files.sh"
build=$1 version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb="$out/brindlework_${version}_$(dpkg --print-architecture).deb"
check "package file name" "yes" "$([ -f "$deb" ] && echo yes || echo no)"
[ -f "$deb" ] || exit 1

check "control members" $'control\nmd5sums' \
  "$(dpkg-deb -I "$deb" | sed -n 's/^ *[0-9]* bytes, *[0-9]* lines *\([a-z0-9]*\).*/\1/p' | sort)"
field() { dpkg-deb -f "$deb" "$1"; }
check "Package" brindlework "$(field Package)"
check "Version" "$version" "$(field Version)"
check "Architecture" "$(dpkg --print-architecture)" "$(field Architecture)"
check "Maintainer" "yes" "$([ -n "$(field Maintainer)" ] && echo yes || echo no)"
check "Description" "print many spreadsheet files in one batch" "$(field Description | head -n 1)"
# Computed from the libraries the program links, plus the programs it needs.
depends=$(field Depends | tr ',' '\n' | sed 's/^ *//; s/ *(.*//' | sort)
for package in libreoffice-calc cups-client libc6 libcups2 libqt6core6 libqt6gui6 libqt6widgets6 libstdc++6 \
  libuno-sal3 libuno-cppu3 libuno-cppuhelpergcc3-3; do
  check "depends on $package" "$package" "$(grep -x -- "$package" <<<"$depends" || true)"
done

# Contents: the install tree under /usr, nothing elsewhere.
check "everything under /usr" "" "$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./usr/' || true)"
mkdir "$out/root"
dpkg-deb -x "$deb" "$out/root"
check_tree "$out/root/usr" "$version"
check "the program is stripped" "" "$(readelf -S "$out/root/usr/bin/brindlework" | grep -o '\.debug_info' || true)"
[ "$failures" -eq 0 ]
