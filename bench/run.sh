#!/usr/bin/env bash
# Builds the benchmarks and prints their figures. Usage: bench/run.sh [build dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRINDLE_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" | grep -E "error|FAILED" && exit 1 || true
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch" XDG_CONFIG_HOME="$scratch/.config" XDG_RUNTIME_DIR="$scratch"

echo "== start-up (5 runs) =="
for _ in 1 2 3 4 5; do "$build/bench/bench_startup"; done
echo "== file list, 100k entries =="
"$build/bench/bench_filelist"
echo "== printer services against a private CUPS daemon =="
bash "$root/bench/printers.sh" "$build" 100
echo "== folder scan against find =="
bash "$root/bench/intake_bench.sh" "$build"
for extra in "$root"/bench/print_*.sh; do
  [ -f "$extra" ] && bash "$extra" "$build"
done
exit 0
