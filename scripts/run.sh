#!/usr/bin/env bash
# Installs what is missing, builds, and starts Brindlework.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh
# The program alone: the tests and benchmarks are scripts/test.sh's and bench/run.sh's.
BRINDLE_TARGETS=brindlework scripts/build.sh build
# Printers come from CUPS; on a machine where nothing started its daemon, start it.
if ! lpstat -r 2>/dev/null | grep -q "is running" && [ -z "${CUPS_SERVER:-}" ]; then
  echo "Starting the CUPS daemon"
  if [ "$(id -u)" -eq 0 ]; then /usr/sbin/cupsd || true; else sudo /usr/sbin/cupsd || true; fi
fi
# A scheduler with no queue at all gets a "PDF" queue, so there is something to print on.
scripts/setup-pdf-printer.sh || true
exec build/src/app/brindlework "$@"
