#!/usr/bin/env bash
# The run command's printer set-up (scripts/setup-pdf-printer.sh) against a
# private CUPS daemon, emptied before each case: it adds "PDF" only where
# there is no queue.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
setup="$root/scripts/setup-pdf-printer.sh"
cups="$root/tests/fixtures/private-cups.sh"
work=$(mktemp -d)
export HOME="$work/home"
mkdir -p "$HOME"
unset LPDEST PRINTER
failures=0
daemon="$work/cups"

cleanup() {
  "$cups" stop "$daemon" || true
  rm -rf "$work"
}
trap cleanup EXIT
"$cups" start "$daemon" >/dev/null
export CUPS_SERVER="$daemon/cups.sock"

# No queue left, and so no default either.
empty_daemon() {
  local queue
  for queue in $(lpstat -v 2>/dev/null | sed -n 's/^device for \([^:]*\):.*/\1/p'); do
    lpadmin -x "$queue"
  done
}

# state: the queues with their devices, then the default
state() {
  lpstat -v 2>/dev/null | sort || true
  lpstat -d 2>/dev/null || true
}

check() {
  local name=$1 expected=$2 actual=$3
  if [ "$expected" != "$actual" ]; then
    echo "FAIL $name"
    echo "  expected: $(printf '%q' "$expected")"
    echo "  actual:   $(printf '%q' "$actual")"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

# case NAME RUNS PREPARE EXPECTED_STATE EXPECTED_OUTPUT
case_() {
  local name=$1 runs=$2 prepare=$3 expected_state=$4 expected_output=$5
  empty_daemon
  eval "$prepare"
  local output=""
  for _ in $(seq 1 "$runs"); do
    output+=$("$setup" 2>&1)
  done
  check "$name: queues and default" "$expected_state" "$(state)"
  check "$name: message" "$expected_output" "$output"
}

home=$(getent passwd "$(id -un)" | cut -d: -f6)
added="Added the printer \"PDF\": what you print on it lands as PDF files in"
pdf_state=$'device for PDF: cups-pdf:/\nsystem default destination: PDF'

case_ "no queue" 1 "" "$pdf_state" "$added $home/PDF"
case_ "no queue, run twice" 2 "" "$pdf_state" "$added $home/PDF"
case_ "one queue, no default" 1 '"$cups" add-queue "$daemon" A' \
  $'device for A: ///dev/null\nno system default destination' ""
case_ "one queue, the default" 1 '"$cups" add-queue "$daemon" A; "$cups" set-default "$daemon" A' \
  $'device for A: ///dev/null\nsystem default destination: A' ""
case_ "a held queue only" 1 '"$cups" add-queue "$daemon" A --disabled' \
  $'device for A: ///dev/null\nno system default destination' ""
printf 'Out /srv/pdf/${USER}\nGrp lpadmin\n' >"$work/cups-pdf.conf"
CUPS_PDF_CONF="$work/cups-pdf.conf" case_ "another output folder" 1 "" "$pdf_state" "$added /srv/pdf/$(id -un)"
export CUPS_PDF_CONF="$work/none.conf"
case_ "no cups-pdf configuration" 1 "" "$pdf_state" "$added $home/PDF"
unset CUPS_PDF_CONF

# No scheduler at all: an error, and nothing claimed.
export CUPS_SERVER="$work/no-such.sock"
status=0
output=$("$setup" 2>&1) || status=$?
check "no scheduler: status" 1 "$status"
check "no scheduler: message" "No CUPS scheduler answers; no printer was added." "$output"

[ "$failures" -eq 0 ]
