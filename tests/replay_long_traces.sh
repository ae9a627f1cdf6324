#!/usr/bin/env bash
# Three long random replays (scripts/long-replay-script.py) on each desktop,
# each run twice: polling every 5 ms (--poll) and as a user runs it, resting
# while the stick does. The polled trace stays as it was (its checksum is
# kept, the same on every desktop), and the resting run does what polling
# did at every tick it ran: the same line, so the same reading, pointer and events; a tick it slept
# through is one where polling injected nothing and left the pointer where
# it was. Each run has an X server and folders of its own, so the pointer
# starts at the screen's centre and no other copy counts.
# uinput: the Linux replay with its pointer on the stand-in for /dev/uinput
# that UINPUT_STAND_IN names: the same traces as XTest's, and the device
# sent every click of both, in order.
#   tests/replay_long_traces.sh linux|uinput|windows SEED REPLAY-COMMAND...
set -euo pipefail
declare -A kept=([1]=80f57c191d3854f4 [2]=de965b87de23913e [3]=ecf6b756056f182b)
seed=$2
key=$1-$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$(dirname "$0")/../scripts/long-replay-script.py" "$2" >"$work/script"
shift 2
[[ $key != uinput-* ]] || set -- env GIMBALO_POINTER=uinput GIMBALO_UINPUT_STAND_IN="$work/uinput" \
  LD_PRELOAD="$UINPUT_STAND_IN" ASAN_OPTIONS="verify_asan_link_order=0:${ASAN_OPTIONS:-}" "$@"
# What a run's timing may move is put in place: a menu command's line (it
# carries its tick) may come a tick later, and Wine reads the pointer as 0,0
# until it has asked the X server once.
run() {
  rm -rf "$work/runtime" "$work/config"
  mkdir -m 700 "$work/runtime" "$work/config"
  XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config \
    xvfb-run -a -s "-screen 0 1280x800x24 -noreset" "$@" "$work/script" --trace |
    awk '/ menu=/ { menus = menus $0 "\n"; next }
      !moved && / pointer=/ { if (!sub(/ pointer=(0,0|640,400) /, " pointer=640,400 ")) moved = 1 }
      { print } END { printf "%s", menus }'
}
run "$@" --poll >"$work/polled"
run "$@" >"$work/rested"
[[ $key != uinput-* ]] || diff <(cat "$work/polled" "$work/rested" | grep -o ' events=[^ ]*' |
  cut -d= -f2 | tr , '\n' | grep -v '^-$') <(python3 -c 'import struct, sys
for _, _, kind, code, down in struct.iter_unpack("qqHHi", open(sys.argv[1], "rb").read()):
    print(["LEFT", "RIGHT", "MIDDLE"][code - 272] + ("DOWN" if down else "UP")) if kind == 1 else 0
' "$work/uinput") >&2 || { echo "$key: the device was not sent the traces' clicks" >&2; exit 1; }
# Tick lines by number from the polled trace; then each line of the resting
# one: its ticks as polled, the ticks it skipped idle, and the rest the same.
awk 'FNR == NR {
       if ($1 ~ /^tick=/ && $2 ~ /^x=/) { line[$1] = $0; pointer[$1] = $5; events[$1] = $6 }
       else if ($1 != "rest" && $1 != "wake") other[++others] = $0
       next }
     $1 ~ /^tick=/ && $2 ~ /^x=/ {
       if (line[$1] != $0) { print "tick " $1 ": rested \"" $0 "\", polled \"" line[$1] "\""; bad = 1 }
       ran[$1] = 1; next }
     $1 == "rest" || $1 == "wake" { rests += $1 == "rest"; next }
     { if ($0 != other[++seen]) { print "line \"" $0 "\" where polling has \"" other[seen] "\""; bad = 1 } }
     END {
       previous = ""
       for (n = 0; ("tick=" n) in line; n++) {
         t = "tick=" n
         if (!(t in ran) && (events[t] != "events=-" || (previous != "" && pointer[t] != previous))) {
           print t ": skipped at rest, where polling did something: " line[t]; bad = 1 }
         previous = pointer[t]
       }
       if (seen != others) { print "the resting trace has " seen " other lines, polling " others; bad = 1 }
       if (rests == 0) { print "it never rested"; bad = 1 }
       if (bad) exit 1
     }' "$work/polled" "$work/rested" >"$work/compared" || {
  echo "$key: the resting run does not do what polling does:" >&2
  head -n 20 "$work/compared" >&2
  exit 1
}

sum=$(sha256sum <"$work/polled" | cut -c1-16)
if [[ $sum != "${kept[$seed]}" ]]; then
  echo "$key: the polled trace's checksum is $sum, not ${kept[$seed]}; it ends:" >&2
  tail -n 3 "$work/polled" >&2
  exit 1
fi
