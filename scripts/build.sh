#!/usr/bin/env bash
# Configures and builds Brindlework into build/ (or the folder given as $1):
# everything, or only the targets named in BRINDLE_TARGETS.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
shift || true
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} "$@" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" ${BRINDLE_TARGETS:+--target $BRINDLE_TARGETS}
