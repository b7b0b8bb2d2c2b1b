#!/usr/bin/env bash
# The man page renders without warnings and names every option --help shows.
#   man-page-check.sh EXECUTABLE MANPAGE
set -euo pipefail
program=$1 page=$2
warnings=$(groff -man -ww -z "$page" 2>&1)
[ -z "$warnings" ] || { echo "groff warnings: $warnings"; exit 1; }
text=$(sed 's/\\-/-/g' "$page")
missing=0
for option in $(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --help | grep -oE -- '--[a-z][a-z-]+' | sort -u); do
  grep -qF -- "$option" <<<"$text" || { echo "not in the man page: $option"; missing=1; }
done
exit $missing
