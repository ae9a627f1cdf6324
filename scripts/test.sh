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
cmake --preset "$preset" -DGIMBALO_WERROR=ON
cmake --build --preset "$preset" -j2
# One X server for the whole run; the tests run one at a time because the
# pointer and the notification area are shared.
xvfb-run -a -s "-screen 0 1280x800x24 -noreset" \
  ctest --preset "$preset" --output-on-failure --timeout 300
