# The files an install puts under its prefix (sourced by the install and
# package tests), and checks of the desktop files among them.

installed_files() {
  printf '%s\n' \
    bin/brindlework \
    lib/systemd/user/brindlework-watch@.service \
    share/applications/brindlework.desktop \
    share/man/man1/brindlework.1 \
    share/metainfo/org.example.brindlework.metainfo.xml \
    share/icons/hicolor/scalable/apps/brindlework.svg
  for size in 16 24 32 48 64 128 256; do
    echo "share/icons/hicolor/${size}x${size}/apps/brindlework.png"
  done
}

# check NAME EXPECTED ACTUAL: counts a failure when they differ.
failures=0
check() {
  if [ "$2" != "$3" ]; then
    echo "FAIL $1"
    echo "  expected: $(printf '%q' "$2")"
    echo "  actual:   $(printf '%q' "$3")"
    failures=$((failures + 1))
  else
    echo "ok   $1"
  fi
}

# check_tree PREFIX VERSION: the installed files are exactly the expected ones,
# the desktop entry and the metadata validate and agree with each other, and
# the program finds every library it needs.
check_tree() {
  local prefix=$1 version=$2
  local desktop="$prefix/share/applications/brindlework.desktop"
  local metainfo="$prefix/share/metainfo/org.example.brindlework.metainfo.xml"
  check "installed files" "$(installed_files | sort)" "$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)"
  check "desktop-file-validate" 0 "$(desktop-file-validate "$desktop" >&2; echo $?)"
  check "appstreamcli validate" 0 "$(appstreamcli validate --no-net "$metainfo" >&2; echo $?)"
  check "menu entry runs the program with the files it is given" "brindlework %F" \
    "$(sed -n 's/^Exec=//p' "$desktop")"
  local icon
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  check "menu entry's icon is installed" "yes" \
    "$([ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] && echo yes || echo no)"
  check "menu entry's categories" "Office;Printing;" "$(sed -n 's/^Categories=//p' "$desktop")"
  check "metadata launches the menu entry" "brindlework.desktop" \
    "$(sed -n 's/.*<launchable type="desktop-id">\(.*\)<\/launchable>.*/\1/p' "$metainfo")"
  check "metadata's newest release is this version" "$version" \
    "$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)"
  check "metadata has a screenshot" "yes" "$(grep -q '<screenshot type="default">' "$metainfo" && echo yes || echo no)"
  check "the watch unit runs the installed program on its folder" "bin/brindlework --watch %f \$BRINDLEWORK_WATCH_OPTIONS" \
    "$(sed -n 's|^ExecStart=.*/\(bin/brindlework \)|\1|p' "$prefix/lib/systemd/user/brindlework-watch@.service")"
  check "the program finds its libraries" "" "$(ldd "$prefix/bin/brindlework" | grep 'not found' || true)"
}
