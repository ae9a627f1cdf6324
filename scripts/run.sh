#!/usr/bin/env bash
# Installs what is missing, builds Gimbalo and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target gimbalo -j2
exec ./build/gimbalo "$@"
