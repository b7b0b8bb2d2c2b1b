#!/usr/bin/env bash
# What a PDF passed through costs the program itself: `brindlework --print`
# of one PDF on a held queue of a private CUPS daemon, beside
# `brindlework --version` (process start, libraries loaded, nothing done).
# Median of RUNS runs each; CPU is user + system.
#   bench/pdf-pass.sh [build dir]        RUNS=20 by default
set -euo pipefail
source "$(dirname "$0")/setup.sh"
bench_setup "${1:-}"
RUNS=${RUNS:-20}
cmake --build "$BUILD_DIR" --target brindlework >/dev/null
tests/fixtures/private-cups.sh add-queue "$work/cups" HELD --disabled

printf 'A page of text to pass through.\n' >"$work/page.txt"
"$SOFFICE" --headless --norestore "-env:UserInstallation=file://$work/profile" \
  --convert-to pdf --outdir "$work" "$work/page.txt" >/dev/null 2>&1
"$BW" --print --printer HELD --quiet "$work/page.pdf" # warm, and it prints

# Wall and CPU time of one run, in ms, from the kernel's own accounting.
measure() {
  python3 - "$RUNS" "$BW" "$@" <<'PY'
import resource, statistics, subprocess, sys, time
runs, command = int(sys.argv[1]), sys.argv[2:]
walls, cpus = [], []
for _ in range(runs):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
    walls.append((time.monotonic() - start) * 1000)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpus.append((after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime) * 1000)
print(f"{statistics.median(walls):.1f} {statistics.median(cpus):.1f}")
PY
}
read -r startWall startCpu < <(measure --version)
read -r passWall passCpu < <(measure --print --printer HELD --quiet "$work/page.pdf")
jobs=$(lpstat -o HELD | wc -l)
echo "start (--version):        ${startWall} ms wall, ${startCpu} ms CPU"
echo "a PDF passed through:     ${passWall} ms wall, ${passCpu} ms CPU ($jobs jobs held)"
echo "the program's own time:   $(awk -v a="$passWall" -v b="$startWall" 'BEGIN {print a - b}') ms wall, $(awk -v a="$passCpu" -v b="$startCpu" 'BEGIN {print a - b}') ms CPU"
echo "offices started: $(ls "$XDG_CACHE_HOME/brindlework" 2>/dev/null | grep -c '^batch-office-[0-9]*$' || true) profile(s)"
