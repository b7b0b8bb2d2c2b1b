#!/usr/bin/env bash
# `brindlework --print` beside `soffice --headless --pt` on the same N small
# .ods files, on a disabled queue of a private CUPS daemon, with a temporary
# HOME and no display; then, with LONG=1000 (or any count), seconds per file
# and the office's resident memory along a long batch, with and without the
# periodic office restart (on an enabled queue: CUPS keeps at most 500 jobs).
#   bench/cli-print.sh [build dir]          N=20 by default; LONG=1000 adds the long batch
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
N=${N:-20}
LONG=${LONG:-0}
RUNS=${RUNS:-3}
BW="$BUILD_DIR/src/app/brindlework"

cmake --build "$BUILD_DIR" --target brindlework >/dev/null
# The office the build was configured with.
SOFFICE="$(sed -n 's/^BRINDLE_OFFICE_PROGRAM_DIR:PATH=//p' "$BUILD_DIR/CMakeCache.txt")/soffice"
work=$(mktemp -d)
chmod 755 "$work"
cleanup() {
  tests/fixtures/private-cups.sh stop "$work/cups" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM LPDEST PRINTER
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
mkdir -p "$XDG_CONFIG_HOME"
CUPS_SERVER=$(tests/fixtures/private-cups.sh start "$work/cups")
export CUPS_SERVER
tests/fixtures/private-cups.sh add-queue "$work/cups" BENCH --disabled
tests/fixtures/private-cups.sh add-queue "$work/cups" LONG

count=$((N > LONG ? N : LONG))
mkdir -p "$work/csv" "$work/docs" "$work/small" "$work/long"
printf 'Sheet,1,2,3\nrow,4,5,6\n' >"$work/csv/model.csv"
"$SOFFICE" --headless --norestore "-env:UserInstallation=file://$work/profile" \
  --convert-to ods --outdir "$work/docs" "$work/csv/model.csv" >/dev/null 2>&1
for i in $(seq -w 1 "$N"); do cp "$work/docs/model.ods" "$work/small/file$i.ods"; done

now() { date +%s.%N; }
jobs_on() { lpstat -o "$1" 2>/dev/null | wc -l; }

# Both sides once untimed, so each starts from a warm profile of its own.
"$BW" --print --printer BENCH --quiet "$work/docs/model.ods" >/dev/null
"$SOFFICE" --headless --norestore "-env:UserInstallation=file://$work/profile" --pt BENCH "$work/docs/model.ods" >/dev/null 2>&1
cancel -a BENCH

printf '%-4s %12s %8s %12s %8s %7s\n' run brindlework confirmed "soffice --pt" jobs ratio
for run in $(seq 1 "$RUNS"); do
  start=$(now)
  "$BW" --print --printer BENCH "$work/small" >"$work/bw.out"
  bw=$(echo "$(now) - $start" | bc)
  confirmed=$(grep -c '^printed ' "$work/bw.out" || true)
  cancel -a BENCH
  start=$(now)
  "$SOFFICE" --headless --norestore "-env:UserInstallation=file://$work/profile" --pt BENCH "$work"/small/*.ods >/dev/null 2>&1
  so=$(echo "$(now) - $start" | bc)
  queued=$(jobs_on BENCH)
  cancel -a BENCH
  printf '%-4s %11.2fs %5s/%-3s %11.2fs %8s %6.2fx\n' "$run" "$bw" "$confirmed" "$N" "$so" "$queued" "$(echo "$bw / $so" | bc -l)"
done

[ "$LONG" -gt 0 ] || exit 0
for i in $(seq -w 1 "$LONG"); do cp "$work/docs/model.ods" "$work/long/doc$i.ods"; done
office_rss() {
  local pid
  for pid in $(pgrep -f "UserInstallation=file://$XDG_CACHE_HOME/brindlework/batch-office" || true); do
    case "$(cat /proc/$pid/comm 2>/dev/null)" in soffice.bin) awk '/^VmRSS/ {print int($2/1024)}' /proc/$pid/status ;; esac
  done | head -1
}
echo
echo "== $LONG documents: office resident memory (MB) after n documents =="
printf '%-16s %7s %7s %7s %7s %7s %9s %8s\n' restart-after 1 250 500 750 "$LONG" "s/file" confirmed
for every in 0 200 100; do
  declare -A rss=()
  n=0
  confirmed=0
  start=$(now)
  while IFS= read -r line; do
    case "$line" in printed*) confirmed=$((confirmed + 1)) ;; esac
    case "$line" in printed*|failed*) n=$((n + 1)) ;; *) continue ;; esac
    case "$n" in 1|250|500|750|"$LONG") rss[$n]=$(office_rss) ;; esac
  done < <("$BW" --print --printer LONG --restart-after "$every" "$work/long" 2>&1)
  took=$(echo "$(now) - $start" | bc)
  printf '%-16s %7s %7s %7s %7s %7s %9.3f %8s\n' "$every" "${rss[1]:-}" "${rss[250]:-}" "${rss[500]:-}" \
    "${rss[750]:-}" "${rss[$LONG]:-}" "$(echo "$took / $LONG" | bc -l)" "$confirmed"
  unset rss
done
