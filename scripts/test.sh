#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs the whole
# test suite under a private X server. Usage: scripts/test.sh [default|debug|asan]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
case "$preset" in
  default|debug|asan) ;;
  *) echo "scripts/test.sh: unknown preset '$preset' (use default, debug or asan)" >&2; exit 2 ;;
esac
scripts/install-deps.sh
cmake --preset "$preset" -DGIMBALO_WERROR=ON -DGIMBALO_REQUIRE_DESKTOP=ON
cmake --build --preset "$preset" -j2

# The tests see a plain desktop whatever the developer's session holds: no
# session bus (which would move the tray and the dialogs to the desktop's
# own), no desktop theme, and configuration in a folder of their own.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
# One X server for the whole run; the GUI tests run one at a time because the
# pointer and the notification area are shared.
env -u DBUS_SESSION_BUS_ADDRESS -u XDG_CURRENT_DESKTOP -u QT_QPA_PLATFORMTHEME \
  XDG_CONFIG_HOME="$config" \
  xvfb-run -a -s "-screen 0 1280x800x24 -noreset" \
  ctest --preset "$preset" --output-on-failure --no-tests=error --timeout 300
