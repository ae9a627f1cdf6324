#!/usr/bin/env bash
# The pointer of the Windows program under Wine is the X server's pointer:
# where xdotool puts it, the program reads it, and where the program puts
# it, xdotool reads it, on the same display.
#   tests/windows/pointer_through_x.sh WINE_RUN PREFIX TEST_PROGRAM
# Exit status 77 (skipped) without an X display or xdotool.
set -euo pipefail
if [[ $# -ne 3 ]]; then
  echo "usage: $0 WINE_RUN PREFIX TEST_PROGRAM" >&2
  exit 2
fi
run=$1 prefix=$2 program=$3
if [[ -z "${DISPLAY:-}" ]] || ! command -v xdotool >/dev/null; then
  echo "$0: no X display or no xdotool: skipped"
  exit 77
fi

xdotool mousemove 321 123
GIMBALO_X_POINTER=321,123 "$run" "$prefix" "$program" --gtest_filter=WindowsPointerThroughX.ReadsWhereXPutIt
GIMBALO_X_POINTER=put "$run" "$prefix" "$program" --gtest_filter=WindowsPointerThroughX.PutsItWhereXReadsIt
location=$(xdotool getmouselocation)
if [[ "$location" != "x:456 y:234 "* ]]; then
  echo "$0: the program put the pointer at 456,234; X has it at: $location" >&2
  exit 1
fi
echo "X reads the pointer where the program put it: $location"
