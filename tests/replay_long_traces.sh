#!/usr/bin/env bash
# The traces of three long random replays (scripts/long-replay-script.py) stay
# as they were on each desktop. Each run has an X server and folders of its
# own, so the pointer starts at the screen's centre and no other copy counts.
# uinput: the Linux replay with its pointer on the stand-in for /dev/uinput
# that UINPUT_STAND_IN names, whose trace must be XTest's, tick for tick, and
# whose device must be sent the trace's clicks.
#   tests/replay_long_traces.sh linux|uinput|windows SEED REPLAY-COMMAND...
set -euo pipefail
declare -A kept=(
  [linux-1]=3653f873a8b9444c [linux-2]=70ba66db07040915 [linux-3]=9c98b661177587c6
  [windows-1]=80f57c191d3854f4 [windows-2]=de965b87de23913e [windows-3]=ecf6b756056f182b)
key=${1/uinput/linux}-$2
mode=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime" "$work/config"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
python3 "$(dirname "$0")/../scripts/long-replay-script.py" "$2" >"$work/script"
shift 2
[[ $mode != uinput ]] || set -- env GIMBALO_POINTER=uinput GIMBALO_UINPUT_STAND_IN="$work/uinput" \
  LD_PRELOAD="$UINPUT_STAND_IN" ASAN_OPTIONS="verify_asan_link_order=0:${ASAN_OPTIONS:-}" "$@"
xvfb-run -a -s "-screen 0 1280x800x24 -noreset" "$@" "$work/script" --trace >"$work/trace"
[[ $mode != uinput ]] || diff <(grep -o ' events=[^ ]*' "$work/trace" | cut -d= -f2 |
  tr , '\n' | grep -v '^-$') <(python3 -c 'import struct, sys
for _, _, kind, code, down in struct.iter_unpack("qqHHi", open(sys.argv[1], "rb").read()):
    print(["LEFT", "RIGHT", "MIDDLE"][code - 272] + ("DOWN" if down else "UP")) if kind == 1 else 0
' "$work/uinput") >&2 || { echo "$key: the device was not sent the trace's clicks" >&2; exit 1; }
# What a run's timing may move is put in place: a menu command's line (it
# carries its tick) may come a tick later, and Wine reads the pointer as 0,0
# until it has asked the X server once.
sum=$(awk '/ menu=/ { menus = menus $0 "\n"; next }
  !moved && / pointer=/ { if (!sub(/ pointer=(0,0|640,400) /, " pointer=640,400 ")) moved = 1 }
  { print } END { printf "%s", menus }' "$work/trace" | sha256sum | cut -c1-16)
[[ $sum == "${kept[$key]}" ]] && exit 0
echo "$key: the trace's checksum is $sum, not ${kept[$key]}; it ends:" >&2
tail -n 3 "$work/trace" >&2
exit 1
