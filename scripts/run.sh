#!/usr/bin/env bash
# Installs what is missing, builds Gimbalo and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
# Gimbalo lives on a desktop: without one, say so before minutes of building.
case "${1:-}" in
  -h | --help | --version) ;;
  *)
    if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
      cat >&2 <<'MESSAGE'
scripts/run.sh: no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so Gimbalo has
no desktop to run on. Start it from a desktop session, or try it here under a private
X server with the replay's scripted joystick:
  scripts/install-deps.sh
  cmake --preset default && cmake --build --preset default -j2 --target gimbalo-replay
  xvfb-run -a -s "-screen 0 1280x800x24 -noreset" build/gimbalo-replay docs/demo.replay --trace
MESSAGE
      exit 1
    fi
    ;;
esac
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target gimbalo -j2
exec ./build/gimbalo "$@"
