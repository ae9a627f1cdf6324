#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Gimbalo
# need, when they are missing. Uses sudo when not run as root.
# Usage: scripts/install-deps.sh [windows]   (windows: also the cross
# compiler for the Windows program and Wine to test it)
set -euo pipefail
windows=0
case "${1:-}" in
  "") ;;
  windows) windows=1 ;;
  *) echo "scripts/install-deps.sh: unknown argument '$1' (use nothing or windows)" >&2; exit 2 ;;
esac

packages=(
  cmake g++ make pkg-config git
  qt6-base-dev libsdl2-dev libx11-dev libxtst-dev libx11-xcb-dev libevdev-dev qt6-wayland
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth trayer x11-utils xdotool imagemagick weston
  fonts-liberation fonts-dejavu-core locales
  librsvg2-bin desktop-file-utils appstream man-db dpkg-dev lintian
  dbus-daemon at-spi2-core python3 python3-pyatspi python3-dbus python3-gi
  clang-14 libclang-rt-14-dev
)
# The Windows program: MinGW-w64 for 32-bit Windows, NSIS for its setup
# program, and Wine (its 32-bit half comes from the i386 architecture) to run
# its tests.
windows_packages=(
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev nsis
  wine wine32:i386 fonts-wine
)
if [[ $windows -eq 1 ]]; then
  packages+=("${windows_packages[@]}")
fi

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
  if [[ $windows -eq 1 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# An Italian locale, so the tests see a desktop that writes decimals with a
# comma.
if ! locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
  as_root localedef -i it_IT -c -f UTF-8 it_IT.UTF-8
fi
# A Russian one for the Windows tests: Wine gives a program started in it
# the ANSI code page 1251, and keeps file names in UTF-8 only when the
# locale exists.
if [[ $windows -eq 1 ]] && ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  as_root localedef -i ru_RU -c -f UTF-8 ru_RU.UTF-8
fi
