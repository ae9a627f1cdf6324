#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs the whole
# test suite under a private X server. Usage:
#   scripts/test.sh [default|debug|asan|windows]
# windows: the 32-bit Windows program, cross-built, its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
case "$preset" in
  default|debug|asan) scripts/install-deps.sh ;;
  windows) scripts/install-deps.sh windows ;;
  *) echo "scripts/test.sh: unknown preset '$preset' (use default, debug, asan or windows)" >&2; exit 2 ;;
esac
cmake --preset "$preset" -DGIMBALO_WERROR=ON -DGIMBALO_REQUIRE_DESKTOP=ON
cmake --build --preset "$preset" -j2
# One fresh Wine prefix per run, made by the first test that needs it.
if [[ "$preset" == windows ]]; then rm -rf build-windows/wine-prefix; fi

# The tests see a plain X11 desktop whatever the developer's session holds:
# no Wayland (the tests that need it start their own compositor), no session
# bus (which would move the tray and the dialogs to the desktop's own), no
# desktop theme, and configuration and runtime folders of their own.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/config" "$work/runtime"
# The runtime folder's single-instance lock stays held for the whole run, as
# by a copy started at login: a test that starts the program without giving
# it a runtime folder of its own fails, so runs beside a running copy pass.
exec {running_copy}>"$work/runtime/gimbalo.lock"
flock -n "$running_copy"
# One X server for the whole run; the GUI tests run one at a time because the
# pointer and the notification area are shared.
env -u DBUS_SESSION_BUS_ADDRESS -u XDG_CURRENT_DESKTOP -u QT_QPA_PLATFORMTHEME \
  -u WAYLAND_DISPLAY -u XDG_SESSION_TYPE -u GIMBALO_POINTER \
  XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
  xvfb-run -a -s "-screen 0 1280x800x24 -noreset" \
  ctest --preset "$preset" --output-on-failure --no-tests=error --timeout 300
