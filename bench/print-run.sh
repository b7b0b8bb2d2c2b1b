#!/usr/bin/env bash
# The print run's own time (total less the mandated 5 s a file) beside
# `soffice --headless --pt` on the same N small .ods files, on a disabled
# queue of a private CUPS daemon, with a temporary HOME and office profile.
# The run's own time includes confirming each file's job from the printing
# system's events; the time those queries take is shown apart, once with an
# empty job history and once with HISTORY (500) ended jobs of history, where
# it should cost the same.
#   bench/print-run.sh [build dir]      (N=20 by default; N=5 bench/print-run.sh for a quick look)
set -euo pipefail
source "$(dirname "$0")/setup.sh"
bench_setup "${1:-}"
N=${N:-20}
HISTORY=${HISTORY:-500}

cmake --build "$BUILD_DIR" --target print_run_bench >/dev/null
tests/fixtures/private-cups.sh add-queue "$work/cups" BENCH --disabled
tests/fixtures/private-cups.sh add-queue "$work/cups" OTHER --disabled
tests/fixtures/private-cups.sh add-queue "$work/cups" HISTORY
lpoptions -d OTHER >/dev/null

# The files, made in one conversion that also readies the office profile.
mkdir -p "$work/csv"
for i in $(seq -w 1 "$N"); do
  printf 'Sheet %s,1,2,3\nrow,4,5,6\n' "$i" >"$work/csv/file$i.csv"
done
bench_spreadsheets "$work/docs" "$work"/csv/*.csv
# Both sides start past the office's first-start work: a profile that has
# never shown a window runs a graphics self-test (about 0.75 s) at every
# start; it is marked as a profile a user has opened LibreOffice with is.
version=$("$SOFFICE" --version | awk 'NF { split($2, v, "."); print v[1] "." v[2]; exit }')
sed -i "s#</oor:items>#<item oor:path=\"/org.openoffice.Setup/Product\"><prop oor:name=\"ooSetupLastVersion\" oor:op=\"fuse\"><value>$version</value></prop></item></oor:items>#" \
  "$work/profile/user/registrymodifications.xcu"

# The reference's first print on a profile costs it about 1.5 s more than any
# later one (the window's side had its warm-up load in print_run_bench): one
# untimed print first, so neither side's figure holds first-time work.
"$SOFFICE" --headless --norestore "-env:UserInstallation=file://$work/profile" --pt BENCH "$work/docs/file$(printf "%0${#N}d" 1).ods" >/dev/null 2>&1
cancel -a BENCH

for history in 0 "$HISTORY"; do
  if [ "$history" -gt 0 ]; then
    # Jobs printed and ended on another queue: the history a busy machine keeps.
    for i in $(seq 1 "$history"); do lp -d HISTORY -t "old $i.ods" /etc/hostname >/dev/null; done
    while [ -n "$(lpstat -o HISTORY)" ]; do sleep 0.2; done
    cancel -a BENCH
  fi
  echo "== job history: $(lpstat -W completed -o | wc -l) ended jobs"
  "$BUILD_DIR/bench/print_run_bench" --queue BENCH --profile "$work/profile" --docs "$work/docs"
done
