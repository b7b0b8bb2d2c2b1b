# Sourced by the bench scripts that print through a private CUPS daemon:
#   bench_setup "${1:-}"
# takes the build folder (relative to where the script was called, or
# absolute; the repository's build/ by default) and sets BUILD_DIR, BW (the
# program), SOFFICE (the office the build was configured with) and work (a
# folder removed at exit, with HOME, the XDG folders and the runtime folder
# of its own under it), starts the daemon (CUPS_SERVER) and works from the
# repository's root. A script's own clean-up goes in bench_on_exit.
bench_on_exit=:

bench_cleanup() {
  eval "$bench_on_exit" || true
  tests/fixtures/private-cups.sh stop "$work/cups" >/dev/null 2>&1 || true
  rm -rf "$work"
}

bench_setup() {
  local root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  BUILD_DIR=$(realpath -m "${1:-$root/build}")
  cd "$root"
  BW="$BUILD_DIR/src/app/brindlework"
  SOFFICE="$(sed -n 's/^BRINDLE_OFFICE_PROGRAM_DIR:PATH=//p' "$BUILD_DIR/CMakeCache.txt")/soffice"
  work=$(mktemp -d)
  # The daemon's user reaches its socket through it.
  chmod 755 "$work"
  trap bench_cleanup EXIT
  unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM LPDEST PRINTER
  # Locks and batch folders of its own: a test run of the same account would hold it up.
  export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
  export XDG_STATE_HOME="$work/home/.local/state" XDG_RUNTIME_DIR="$work/run"
  mkdir -p "$XDG_CONFIG_HOME"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  CUPS_SERVER=$(tests/fixtures/private-cups.sh start "$work/cups")
  export CUPS_SERVER
}

# A small spreadsheet (or the CSVs given, each made an .ods) in folder $1,
# made by the office on the bench's own profile.
bench_spreadsheets() {
  local into=$1
  shift
  mkdir -p "$into" "$work/csv"
  if [ $# -eq 0 ]; then
    printf 'Sheet,1,2,3\nrow,4,5,6\n' >"$work/csv/model.csv"
    set -- "$work/csv/model.csv"
  fi
  "$SOFFICE" --headless --norestore "-env:UserInstallation=file://$work/profile" \
    --convert-to ods --outdir "$into" "$@" >/dev/null 2>&1
}
