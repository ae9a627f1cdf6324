#!/usr/bin/env bash
# Runs a Windows test program under Wine with the screen at DPI dots per
# inch, in a prefix kept for such runs (a prefix has one density, which a
# program reads as it starts). Its programs run in a Wine desktop, which
# draws the windows' frames as Windows does, so screenshots show them:
#   run_at_dpi.sh WINE_RUN PREFIX DPI PROGRAM [ARGUMENTS...]
set -euo pipefail
if [[ $# -lt 4 || ! $3 =~ ^[0-9]+$ ]]; then
  echo "usage: run_at_dpi.sh WINE_RUN PREFIX DPI PROGRAM [ARGUMENTS...] (DPI a number)" >&2
  exit 2
fi
wine_run=$1
prefix=$2
dpi=$3
shift 3
"$wine_run" "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
  /d "$dpi" /f >/dev/null
"$wine_run" "$prefix" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
"$wine_run" "$prefix" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default \
  /d 1280x800 /f >/dev/null
GIMBALO_DENSITY_RUN=$dpi exec "$wine_run" "$prefix" "$@"
