#!/usr/bin/env bash
# Printer services timed against a private CUPS daemon, beside the CUPS tools
# doing the same (one process per call, as a shell script would).
#   bench/printers.sh [build dir] [runs]
set -euo pipefail
# The build folder is taken from where the script is called; the default is the repository's build/.
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
cd "$root"
runs=${2:-200}
work=$(mktemp -d /tmp/bw-bench-XXXXXX)
trap 'tests/fixtures/private-cups.sh stop "$work/cups" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
mkdir -p "$work/home"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
unset LPDEST PRINTER
export CUPS_SERVER=$(tests/fixtures/private-cups.sh start "$work/cups" --owner $$)

median_tool() { # runs the command $runs times; prints the median in microseconds
  local i start end times=()
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s%N); "$@" >/dev/null; end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$((runs / 2 + 1))p"
}

for count in 3 50; do
  for ((q = $(CUPS_SERVER=$CUPS_SERVER lpstat -e 2>/dev/null | wc -l); q < count; q++)); do
    tests/fixtures/private-cups.sh add-queue "$work/cups" "Q$(printf '%03d' "$q")"
  done
  "$build/bench/printers_bench" "$runs"
  echo "  reference: lpstat -e        $(median_tool lpstat -e) us"
  echo "  reference: lpstat -d        $(median_tool lpstat -d) us"
  echo "  reference: lpoptions -d Q001 $(median_tool lpoptions -d Q001) us"
done
