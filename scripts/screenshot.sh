#!/usr/bin/env bash
# Renders the main window with a filled list into docs/screenshot.png: the
# real program under Xvfb, its list filled through "Add All Calc Files In
# Folder" (keys and clicks by xdotool), its printer list from a private CUPS
# daemon with the "PDF" queue the run command sets up. Settings go to a
# temporary home, so the user's own are never touched. Re-running it gives
# the same picture.
#   scripts/screenshot.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [ "${1:-}" != "--inside-xvfb" ]; then
  build=$(cd "${1:-build}" && pwd)
  [ -x "$build/src/app/brindlework" ] || { echo "build the program first: scripts/build.sh" >&2; exit 1; }
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" --inside-xvfb "$build"
fi
build=$2

work=$(mktemp -d /tmp/bw-shot.XXXXXX)
# The list shows full paths: a fixed folder keeps the picture the same.
samples=/tmp/brindlework-screenshot/Reports
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  tests/fixtures/private-cups.sh stop "$work/cups" || true
  rm -rf "$work" /tmp/brindlework-screenshot
}
trap cleanup EXIT

rm -rf /tmp/brindlework-screenshot
mkdir -p "$samples/2026"
for name in "Budget 2026" "Inventory" "Price list" "Sales by region" "Staff rota"; do
  : >"$samples/$name.ods"
done
for month in 01-January 02-February 03-March; do
  : >"$samples/2026/Invoices $month.ods"
done
: >"$samples/notes.txt"

tests/fixtures/private-cups.sh start "$work/cups" >/dev/null
export CUPS_SERVER="$work/cups/cups.sock"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME"
unset LPDEST PRINTER
scripts/setup-pdf-printer.sh >/dev/null

"$build/src/app/brindlework" >"$work/program.log" 2>&1 &
program_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Brindlework$' | head -n 1)

# Press a button of the window by its place (twips of the window's layout at 96 dpi).
click_button() {
  local label=$1
  local geometry x y
  eval "$(xdotool getwindowgeometry --shell "$window")"
  case "$label" in
    folder) x=$((X + 400)) y=$((Y + 197)) ;;
  esac
  xdotool mousemove "$x" "$y" click 1
}

# Waits for a top-level window titled $1 other than the main one, focuses it, types $2 and Return.
answer_dialog() {
  local title=$1 text=$2 dialog
  dialog=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | grep -v "^$window\$" | head -n 1)
  xdotool windowfocus --sync "$dialog"
  sleep 0.3
  if [ -n "$text" ]; then
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 20 "$text"
  fi
  xdotool key Return
  sleep 0.5
}

click_button folder
answer_dialog '^Brindlework$' ""
answer_dialog '^Please select folder:$' "$samples"
# The pointer away from the window, so no button shows hovered.
xdotool mousemove 0 0
sleep 1
mkdir -p docs
import -window "$window" docs/screenshot.png
echo "docs/screenshot.png"
