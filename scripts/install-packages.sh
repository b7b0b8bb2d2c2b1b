#!/usr/bin/env bash
# Installs the Debian packages Brindlework needs to build, run and test.
# Safe to run again: packages already present are skipped.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libcups2-dev libreoffice-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  # run
  cups cups-client cups-bsd printer-driver-cups-pdf libreoffice-calc
  # text documents (the end-to-end batch prints one)
  libreoffice-writer
  fonts-liberation
  # test and benchmark tools
  xvfb xauth poppler-utils imagemagick xdotool time groff-base bc clang-format
  # install and package checks
  desktop-file-utils appstream dpkg-dev
)

missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  SUDO=(sudo)
fi
echo "Installing: ${missing[*]}"
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
