#!/usr/bin/env bash
# Folder scan against find(1) on the same generated tree (10,000 folders,
# 100,000 files, 20,000 of them .ods in mixed case), in one run.
#
#   bench/intake_bench.sh [BUILD_DIR]      (default: the current folder)
#
# Use a Release build for figures. INTAKE_BENCH_TREE=path keeps the tree there
# and reuses it on the next run; otherwise it lives in a temporary folder.
set -euo pipefail

BUILD_DIR=$(cd "${1:-.}" && pwd)
GENERATOR="$BUILD_DIR/bench/intake_tree_generator"
BENCH="$BUILD_DIR/bench/intake_bench"
RUNS=${INTAKE_BENCH_RUNS:-5}
for tool in "$GENERATOR" "$BENCH"; do
  [ -x "$tool" ] || { echo "missing $tool: build the bench targets first" >&2; exit 1; }
done
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$BUILD_DIR/CMakeCache.txt" 2>/dev/null || true)
case "$build_type" in
  Release|RelWithDebInfo) ;;
  *) echo "note: build type is '${build_type:-unknown}'; figures are meant for a Release build" >&2 ;;
esac

if [ -n "${INTAKE_BENCH_TREE:-}" ]; then
  TREE=$INTAKE_BENCH_TREE
else
  WORK=$(mktemp -d)
  trap 'rm -rf "$WORK"' EXIT
  TREE=$WORK/tree
fi
if [ ! -d "$TREE" ]; then
  echo "generating $TREE ..."
  "$GENERATOR" "$TREE"
fi

# Both read a warm tree.
find "$TREE" > /dev/null

now_ns() { date +%s%N; }
best_find_ms=""
find_rows=0
for _ in $(seq "$RUNS"); do
  start=$(now_ns)
  find_rows=$(find "$TREE" -iname '*.ods' | wc -l)
  end=$(now_ns)
  ms=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", (b - a) / 1e6 }')
  if [ -z "$best_find_ms" ] || awk -v x="$ms" -v y="$best_find_ms" 'BEGIN { exit !(x < y) }'; then
    best_find_ms=$ms
  fi
done
find_peak_kb=$( { /usr/bin/time -f '%M' find "$TREE" -iname '*.ods' > /dev/null; } 2>&1 | tail -n 1)

intake_line=$(QT_QPA_PLATFORM=offscreen "$BENCH" "$TREE" "$RUNS" 2> /dev/null | grep '^rows=')
field() { sed -n "s/.*\b$1=\([^ ]*\).*/\1/p" <<< "$intake_line"; }
intake_rows=$(field rows)
intake_ms=$(field best_ms)
intake_peak_kb=$(field peak_rss_kb)
intake_base_kb=$(field baseline_rss_kb)
yields=$(field yields)
ratio=$(awk -v a="$intake_ms" -v b="$best_find_ms" 'BEGIN { printf "%.2f", a / b }')

printf '%-44s %8s %10s %14s\n' "" rows "best ms" "peak memory"
printf '%-44s %8s %10s %11s KB\n' "folder scan + list model (intake_bench)" "$intake_rows" "$intake_ms" "$intake_peak_kb"
printf '%-44s %8s %10s %11s KB\n' "find ROOT -iname '*.ods'" "$find_rows" "$best_find_ms" "$find_peak_kb"
printf '(the scan process holds %s KB before its first scan: Qt and a shown list view)\n' "$intake_base_kb"
printf 'ratio scan/find: %s (goal <= 1.3), best of %s runs; %s yields per scan\n' "$ratio" "$RUNS" "$yields"
if [ "$intake_rows" != "$find_rows" ]; then
  echo "row counts differ" >&2
  exit 1
fi
