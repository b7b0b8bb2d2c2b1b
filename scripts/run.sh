#!/usr/bin/env bash
# Installs what is missing, builds, and starts Brindlework.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh
scripts/build.sh build
exec build/src/app/brindlework "$@"
