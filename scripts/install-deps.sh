#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Gimbalo
# need, when they are missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
  cmake g++ make pkg-config git
  qt6-base-dev libsdl2-dev libx11-dev libxtst-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth trayer x11-utils xdotool imagemagick
  fonts-liberation fonts-dejavu-core
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then sudo=(); else sudo=(sudo); fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
