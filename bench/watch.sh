#!/usr/bin/env bash
# A warm `brindlework --watch` on a held queue of a private CUPS daemon: the
# time from a file's rename into the folder to its job, told by the
# "submitted" line of the folder's journal (written once CUPS has the job),
# for N files one after the other; min/median/max. Then M files dropped at
# once into a watch with --jobs 2, beside --print --jobs 2 on the same files
# (M=0 leaves it out).
#   bench/watch.sh [build dir]        N=20 M=200 by default
set -euo pipefail
source "$(dirname "$0")/setup.sh"
bench_setup "${1:-}"
N=${N:-20}
M=${M:-200}
watcher=
bench_on_exit='[ -n "$watcher" ] && kill "$watcher" 2>/dev/null && wait "$watcher" 2>/dev/null'

cmake --build "$BUILD_DIR" --target brindlework >/dev/null
mkdir -p "$work/inbox"
tests/fixtures/private-cups.sh add-queue "$work/cups" HELD --disabled
bench_spreadsheets "$work/docs"

"$BW" --watch "$work/inbox" --printer HELD --quiet 2>"$work/watch.err" &
watcher=$!
journal="$work/inbox/.brindlework/journal.jsonl"
submitted() {
  local count
  count=$(grep -c '"step":"submitted"' "$journal" 2>/dev/null) || true
  echo "${count:-0}"
}
# Waits until the journal holds this many submissions; 120 s at most.
wait_for() {
  local deadline=$((SECONDS + 120))
  while [ "$(submitted)" -lt "$1" ]; do
    [ $SECONDS -ge $deadline ] && { echo "no job after 120 s" >&2; cat "$work/watch.err" >&2; exit 1; }
    sleep 0.005
  done
}
now() { date +%s.%N; }

# Warm: the office started and the first file printed.
cp "$work/docs/model.ods" "$work/warm.ods" && mv "$work/warm.ods" "$work/inbox/"
wait_for 1
times=()
for i in $(seq 1 "$N"); do
  cp "$work/docs/model.ods" "$work/f$i.ods"
  start=$(now)
  mv "$work/f$i.ods" "$work/inbox/"
  wait_for $((i + 1))
  times+=("$(echo "$(now) - $start" | bc -l)")
done
printf '%s\n' "${times[@]}" | sort -n | awk -v n="$N" '{ v[NR] = $1 }
  END { printf "watch: rename to job, N=%d: min %.3f median %.3f max %.3f s\n", n, v[1], v[int((NR + 1) / 2)], v[NR] }'
kill "$watcher" && wait "$watcher" || true
watcher=

if [ "$M" -gt 0 ]; then
  mkdir -p "$work/many" "$work/inbox2"
  for i in $(seq -w 1 "$M"); do cp "$work/docs/model.ods" "$work/many/m$i.ods"; done
  start=$(now)
  "$BW" --print --printer HELD --jobs 2 --quiet "$work"/many/*.ods
  printed=$(echo "$(now) - $start" | bc -l)
  "$BW" --watch "$work/inbox2" --printer HELD --jobs 2 --quiet 2>>"$work/watch.err" &
  watcher=$!
  journal="$work/inbox2/.brindlework/journal.jsonl"
  # Warm, as the batch's offices were started within its time.
  cp "$work/docs/model.ods" "$work/warm.ods" && mv "$work/warm.ods" "$work/inbox2/"
  wait_for 1
  start=$(now)
  # Renamed in one go (mv looks at each file again after moving it, and
  # the watcher may have taken it by then).
  perl -e 'my $to = shift; for (@ARGV) { (my $n = $_) =~ s{.*/}{}; rename($_, "$to/$n") or die "$_: $!" }' \
    "$work/inbox2" "$work"/many/*.ods
  wait_for $((M + 1))
  watched=$(echo "$(now) - $start" | bc -l)
  printf 'watch: %d files at once, --jobs 2: %.1f s; --print --jobs 2: %.1f s; ratio %.2f\n' \
    "$M" "$watched" "$printed" "$(echo "$watched / $printed" | bc -l)"
fi
[ -n "${KEEP_JOURNAL:-}" ] && cp "$journal" "$KEEP_JOURNAL"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
