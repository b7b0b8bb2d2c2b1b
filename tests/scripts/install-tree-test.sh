#!/usr/bin/env bash
# `cmake --install` of the build folder into a temporary prefix, checked.
#   install-tree-test.sh BUILD_DIR VERSION
set -euo pipefail
source "$(dirname "$0")/installed-files.sh"
build=$1 version=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
check_tree "$prefix" "$version"
[ "$failures" -eq 0 ]
