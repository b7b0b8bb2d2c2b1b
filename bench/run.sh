#!/usr/bin/env bash
# Builds the benchmarks, runs every one of them and ends with one table: each
# figure beside the tool that does the same job, and their ratio.
#   bench/run.sh [build dir]        (build-bench, a Release build, by default)
# N (files a print run, default 20), RUNS and PRINTER_RUNS pass on to the parts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build-bench}")
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRINDLE_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target bench_startup bench_filelist printers_bench intake_bench \
  intake_tree_generator print_run_bench brindlework >/dev/null
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch" XDG_CONFIG_HOME="$scratch/.config" XDG_RUNTIME_DIR="$scratch"

# Runs one part, showing its output and keeping it for the table; a part
# that fails leaves its figures out and the others still run.
part() {
  local name=$1
  shift
  echo "== $name"
  if ! "$@" 2>&1 | tee "$scratch/$name.out"; then
    echo "($name failed)"
  fi
}

part startup bash -c 'for _ in 1 2 3 4 5; do "$0/bench/bench_startup"; done' "$build"
part filelist "$build/bench/bench_filelist"
part printers bash "$root/bench/printers.sh" "$build" "${PRINTER_RUNS:-100}"
part intake bash "$root/bench/intake_bench.sh" "$build"
part print-run bash "$root/bench/print-run.sh" "$build"
part cli-print bash "$root/bench/cli-print.sh" "$build"
part watch bash "$root/bench/watch.sh" "$build"

# The figures, one line each: what, ours, unit, reference tool, its figure.
{
  median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }'; }
  echo "start-up to a shown window|$(awk '/^startup_to_shown_ms/ { print $2 }' "$scratch/startup.out" | median)|ms||"
  echo "append 100k files to the list|$(awk '/^append_100k_ms/ { print $2 }' "$scratch/filelist.out")|ms||"
  echo "memory an entry, 100k list and view|$(sed -n 's/.* \([0-9]*\) bytes an entry.*/\1/p' "$scratch/filelist.out")|bytes||"
  awk '/^delete_at_1_median_ms/ { print "Delete at the top, 100k (median)|" $2 "|ms||" }
       /^delete_at_50000_median_ms/ { print "Delete mid-list, 100k (median)|" $2 "|ms||" }
       /^delete_at_99700_median_ms/ { print "Delete near the end, 100k (median)|" $2 "|ms||" }' "$scratch/filelist.out"
  awk '/^queues:/ { q = $2; sub(",", "", q) }
       /^  installedPrinters/ { ours["installed"] = $2 }
       /^  defaultPrinterName/ { ours["default"] = $2 }
       /^  setDefaultPrinter/ { ours["set"] = $2 }
       /reference: lpstat -e/ { print "list the printers, " q " queues|" ours["installed"] "|us|lpstat -e|" $(NF - 1) }
       /reference: lpstat -d/ { print "read the default printer, " q " queues|" ours["default"] "|us|lpstat -d|" $(NF - 1) }
       /reference: lpoptions -d/ { print "set the default printer, " q " queues|" ours["set"] "|us|lpoptions -d|" $(NF - 1) }' \
    "$scratch/printers.out"
  awk '/^folder scan/ { ours = $(NF - 2) } /^find ROOT/ { print "scan a tree for .ods files|" ours "|ms|find -iname|" $(NF - 2) }' \
    "$scratch/intake.out"
  awk '/^== job history:/ { h = $4 }
       /^print run:/ { for (i = 1; i <= NF; i++) if ($i == "=") ours = $(i + 1) }
       /^  confirmation:/ { for (i = 1; i <= NF; i++) if ($i == "file") conf = $(i - 3) }
       /^soffice --headless --pt/ { for (i = 1; i <= NF; i++) if ($i == "s;") ref = $(i - 1)
         print "print run less its waits, history " h "|" ours "|s|soffice --pt|" ref
         print "confirmation a file, history " h "|" conf "|ms||" }' "$scratch/print-run.out"
  awk '$1 ~ /^(ENABLED|HELD)$/ && $2 ~ /^[0-9]+$/ && NF >= 6 {
         split($3, b, "/"); split($5, r, "/")
         print "brindlework --print, " $1 " queue, N=" $2 " (median)|" b[2] "|s|soffice --pt|" r[2]
         if (NF >= 9) { split($8, m, "/"); print "  same, reference on a marked profile|" b[2] "|s|soffice --pt|" m[2] } }' \
    "$scratch/cli-print.out"
  awk '/^watch: rename to job/ { print "watched folder: rename to job (median)|" $(NF - 3) "|s||" }' "$scratch/watch.out"
} >"$scratch/figures"

echo
echo "== Figures beside their reference tools (ratio: ours / reference; lower is better)"
awk -F'|' '{
  ours = $2 == "" ? "-" : $2 " " $3
  ref = $5 == "" ? "-" : $5 " " $3
  ratio = ($2 != "" && $5 != "" && $5 > 0) ? sprintf("%.2f", $2 / $5) : "-"
  printf "%-40s %14s   %-14s %14s %7s\n", $1, ours, ($4 == "" ? "(none)" : $4), ref, ratio
}' "$scratch/figures" | {
  printf '%-40s %14s   %-14s %14s %7s\n' figure ours "reference" "its figure" ratio
  cat
}
