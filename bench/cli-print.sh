#!/usr/bin/env bash
# `brindlework --print` beside `soffice --headless --pt` on the same small .ods
# files, every job confirmed (brindlework: a "sent" line per file;
# soffice: the jobs that reached the queue), with a temporary HOME, no display
# and a private CUPS daemon; on an enabled queue with a 500-job history and on
# a held (disabled) queue. Min/median/max of RUNS runs per size. Then the
# offices' resident memory after 1, 100 and 200 documents each, and with
# SWEEP="1 2 3" the time and memory of a 200-file batch per --jobs value.
# FOLLOW="200" times the end-of-batch follow (the last read of every job in
# flight) against the whole batch, with --json, on both queues.
#   bench/cli-print.sh [build dir]        SIZES="20 200" RUNS=3 by default
set -euo pipefail
source "$(dirname "$0")/setup.sh"
bench_setup "${1:-}"
SIZES=${SIZES-"20 200"}
RUNS=${RUNS:-3}
SWEEP=${SWEEP:-}
FOLLOW=${FOLLOW:-}
MEMORY=${MEMORY:-1}

cmake --build "$BUILD_DIR" --target brindlework >/dev/null
tests/fixtures/private-cups.sh add-queue "$work/cups" HELD --disabled
tests/fixtures/private-cups.sh add-queue "$work/cups" ENABLED

largest=400
for n in $SIZES; do [ "$n" -gt "$largest" ] && largest=$n; done
mkdir -p "$work/files"
bench_spreadsheets "$work/docs"
for i in $(seq -w 1 "$largest"); do cp "$work/docs/model.ods" "$work/files/file$i.ods"; done
files() { ls "$work"/files/*.ods | head -n "$1"; }

# The enabled queue's history: 500 finished jobs.
for i in $(seq 1 500); do lp -d ENABLED -t "old$i" "$work/csv/model.csv" >/dev/null; done
now() { date +%s.%N; }
last_job() { lpstat -W all -o | awk '{print $1}' | sed 's/.*-//' | sort -n | tail -1; }
stats() { sort -n | awk '{v[NR]=$1} END {printf "%.2f %.2f %.2f\n", v[1], v[int((NR+1)/2)], v[NR]}'; }

# Both sides once untimed, so each starts from a warm profile of its own.
"$BW" --print --printer HELD --quiet "$work/docs/model.ods" >/dev/null
"$SOFFICE" --headless --norestore "-env:UserInstallation=file://$work/profile" --pt HELD "$work/docs/model.ods" >/dev/null 2>&1
cancel -a HELD
# A profile that has never shown a window runs the office's graphics
# self-test (about 0.75 s) at every start; brindlework marks its own. The
# reference also runs on a copy marked the same way, as a profile the user
# has opened LibreOffice with would be.
cp -r "$work/profile" "$work/marked"
version=$("$SOFFICE" --version | awk 'NF { split($2, v, "."); print v[1] "." v[2]; exit }')
sed -i "s#</oor:items>#<item oor:path=\"/org.openoffice.Setup/Product\"><prop oor:name=\"ooSetupLastVersion\" oor:op=\"fuse\"><value>$version</value></prop></item></oor:items>#" \
  "$work/marked/user/registrymodifications.xcu"

echo "== seconds, min/median/max of $RUNS runs (default --jobs) =="
printf '%-8s %5s %-20s %9s %-20s %9s %-7s %-20s %-7s\n' queue N brindlework confirmed "soffice --pt" confirmed ratio \
  "(marked profile)" ratio
for queue in ENABLED HELD; do
  for n in $SIZES; do
    : >"$work/bw.t"
    : >"$work/so.t"
    : >"$work/marked.t"
    bw_ok=0
    so_ok=0
    for run in $(seq 1 "$RUNS"); do
      mapfile -t list < <(files "$n")
      start=$(now)
      "$BW" --print --printer "$queue" "${list[@]}" >"$work/bw.out"
      echo "$(now) - $start" | bc >>"$work/bw.t"
      bw_ok=$((bw_ok + $(grep -cE '^(sent|printed) ' "$work/bw.out" || true)))
      before=$(last_job)
      start=$(now)
      "$SOFFICE" --headless --norestore "-env:UserInstallation=file://$work/profile" --pt "$queue" "${list[@]}" >/dev/null 2>&1
      echo "$(now) - $start" | bc >>"$work/so.t"
      so_ok=$((so_ok + $(last_job) - before))
      start=$(now)
      "$SOFFICE" --headless --norestore "-env:UserInstallation=file://$work/marked" --pt "$queue" "${list[@]}" >/dev/null 2>&1
      echo "$(now) - $start" | bc >>"$work/marked.t"
      cancel -a HELD
    done
    read -r bmin bmed bmax < <(stats <"$work/bw.t")
    read -r smin smed smax < <(stats <"$work/so.t")
    read -r mmin mmed mmax < <(stats <"$work/marked.t")
    printf '%-8s %5s %-20s %9s %-20s %9s %6.2fx %-20s %6.2fx\n' "$queue" "$n" "$bmin/$bmed/$bmax" \
      "$bw_ok/$((n * RUNS))" "$smin/$smed/$smax" "$so_ok/$((n * RUNS))" "$(echo "$bmed / $smed" | bc -l)" \
      "$mmin/$mmed/$mmax" "$(echo "$bmed / $mmed" | bc -l)"
  done
done

# Resident memory of every batch office, in MB, summed over their processes.
office_rss() {
  local pid
  for pid in $(pgrep -f "UserInstallation=file://$XDG_CACHE_HOME/brindlework/batch-office" || true); do
    case "$(cat /proc/$pid/comm 2>/dev/null)" in soffice.bin) awk '/^VmRSS/ {print int($2/1024)}' /proc/$pid/status 2>/dev/null || true ;; esac
  done | paste -sd/ -
}
# $1 jobs, $2 files: seconds, and office memory after 1, 100 and 200 documents each.
measure() {
  local jobs=$1 n=$2 count=0 line start took
  declare -A rss=()
  mapfile -t list < <(files "$n")
  start=$(now)
  while IFS= read -r line; do
    case "$line" in sent*|printed*|failed*) count=$((count + 1)) ;; *) continue ;; esac
    case "$count" in "$jobs"|"$((100 * jobs))"|"$((200 * jobs - 1))") rss[$count]=$(office_rss) ;; esac
  done < <("$BW" --print --printer HELD --jobs "$jobs" --restart-after 0 "${list[@]}" 2>&1)
  took=$(echo "$(now) - $start" | bc)
  cancel -a HELD
  printf '%-6s %6s %8.2f %14s %14s %14s\n' "$jobs" "$n" "$took" "${rss[$jobs]:-}" "${rss[$((100 * jobs))]:-}" \
    "${rss[$((200 * jobs - 1))]:-}"
}
if [ "$MEMORY" = 1 ] || [ -n "$SWEEP" ]; then
  echo
  echo "== held queue: seconds, office resident MB (each office) after 1/100/200 documents per office =="
  printf '%-6s %6s %8s %14s %14s %14s\n' jobs files seconds "1 doc" "100 docs" "200 docs"
fi
if [ "$MEMORY" = 1 ]; then
  jobs=$("$BW" --help | tr -s '\n ' ' ' | sed -n 's/.*side by side (default \([0-9]*\)).*/\1/p')
  measure "$jobs" $((200 * jobs))
fi
for jobs in $SWEEP; do measure "$jobs" 200; done

# The follow's events come after the N file events; each tells the seconds
# since the follow began, the totals the whole batch's.
if [ -n "$FOLLOW" ]; then
  echo
  echo "== end-of-batch follow: seconds of the follow / of the whole batch =="
  printf '%-8s %6s %10s %10s %8s\n' queue files follow batch share
  for queue in ENABLED HELD; do
    for n in $FOLLOW; do
      mapfile -t list < <(files "$n")
      "$BW" --print --json --printer "$queue" "${list[@]}" >"$work/follow.out" || true
      cancel -a HELD
      read -r follow batch < <(awk -v n="$n" -F'"seconds":' '
        /"event":"totals"/ { split($2, t, /[,}]/); batch = t[1]; next }
        NF > 1 { if (++events > n) { split($2, s, /[,}]/); follow = s[1] } }
        END { printf "%s %s\n", follow + 0, batch }' "$work/follow.out")
      printf '%-8s %6s %10.3f %10.2f %7.2f%%\n' "$queue" "$n" "$follow" "$batch" "$(echo "100 * $follow / $batch" | bc -l)"
    done
  done
fi
