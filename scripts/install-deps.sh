#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Gimbalo
# need, when they are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
  cmake g++ make pkg-config git
  qt6-base-dev libsdl2-dev libx11-dev libxtst-dev libx11-xcb-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth trayer x11-utils xdotool imagemagick
  fonts-liberation fonts-dejavu-core locales
  librsvg2-bin desktop-file-utils appstream man-db dpkg-dev
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
# Runs a command as root: directly when root, else through sudo.
as_root() {
  if [[ $(id -u) -eq 0 ]]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    echo "scripts/install-deps.sh: '$1' needs root and sudo is not installed; run this script as root" >&2
    exit 1
  fi
}

if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# An Italian locale, so the tests see a desktop that writes decimals with a
# comma.
if ! locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
  as_root localedef -i it_IT -c -f UTF-8 it_IT.UTF-8
fi
