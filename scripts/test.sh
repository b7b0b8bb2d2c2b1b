#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite. The tests
# start their own CUPS daemon and LibreOffice with private folders; nothing of
# the user's settings, printers or office profile is touched.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh
scripts/build.sh build
cd build
ctest --output-on-failure -j"$(nproc)" "$@"
