#!/usr/bin/env bash
# Gives a CUPS scheduler that has no queue at all a "PDF" queue over cups-pdf,
# so the program has something to print on without hardware. A scheduler that
# has any queue is left exactly as it is. The new queue becomes the default
# only when there is no default yet.
#
# Talks to the scheduler CUPS_SERVER names, the machine's one otherwise.
# CUPS_PDF_CONF may name another cups-pdf configuration (to find its output folder).
set -euo pipefail

queue=PDF
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
conf=${CUPS_PDF_CONF:-/etc/cups/cups-pdf.conf}

# The machine's scheduler wants root for changes; a private one does not.
admin() {
  if [ "$(id -u)" -eq 0 ] || [ -n "${CUPS_SERVER:-}" ]; then "$@"; else sudo "$@"; fi
}

# A scheduler that was just started may not answer yet.
for _ in $(seq 1 50); do
  lpstat -r 2>/dev/null | grep -q "is running" && break
  sleep 0.1
done
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  echo "No CUPS scheduler answers; no printer was added." >&2
  exit 1
fi

# Any queue at all, local or remote, means the machine is set up already.
if lpstat -v 2>/dev/null | grep -q .; then
  exit 0
fi

# Drivers are deprecated in CUPS but still work; keep every other message.
admin lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" 2>&1 | { grep -v -i 'deprecated' >&2 || true; }
if [ "${PIPESTATUS[0]}" -ne 0 ]; then
  echo "Could not add the printer \"$queue\"." >&2
  exit 1
fi
if lpstat -d 2>/dev/null | grep -q "no system default destination"; then
  admin lpadmin -d "$queue"
fi

# cups-pdf writes into the home of the user who prints: this user.
out='${HOME}/PDF'
if [ -r "$conf" ]; then
  configured=$(sed -n 's/^[[:space:]]*Out[[:space:]]\{1,\}//p' "$conf" | tail -n 1)
  out=${configured:-$out}
fi
user=$(id -un)
home=$(getent passwd "$user" | cut -d: -f6)
out=${out//'${HOME}'/${home:-$HOME}}
out=${out//'${USER}'/$user}
echo "Added the printer \"$queue\": what you print on it lands as PDF files in $out"
