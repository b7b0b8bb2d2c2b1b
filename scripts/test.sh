#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite twice: in the
# normal build (build/) and in a build with the address and undefined-behaviour
# sanitizers (build-asan/). The tests start their own CUPS daemon and
# LibreOffice with private folders; nothing of the user's settings, printers or
# office profile is touched. Run as root (as CI does), they run the program
# as ordinary accounts that ctest makes first (tests/fixtures/test-accounts.sh).
# Arguments go to both ctest runs (e.g. -R name).
# BRINDLE_TEST_SANITIZE=0 runs the normal build alone. A source that differs
# from .clang-format fails the run too (after the tests).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh

status=0
scripts/check-format.sh || status=1

run_suite() {
  local dir=$1
  shift
  echo "== Tests in $dir"
  (cd "$dir" && ctest --output-on-failure -j"$(nproc)" "$@") || status=1
}

scripts/build.sh build
run_suite build "$@"

if [ "${BRINDLE_TEST_SANITIZE:-1}" != 0 ]; then
  scripts/build.sh build-asan -DBRINDLE_SANITIZE=ON -DBRINDLE_BUILD_BENCH=OFF
  run_suite build-asan "$@"
fi
exit "$status"
