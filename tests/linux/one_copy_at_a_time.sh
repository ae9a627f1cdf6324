#!/usr/bin/env bash
# Copies started at once with one runtime folder: exactly one runs and the
# others end with the already-running message, round after round.
#   tests/linux/one_copy_at_a_time.sh GIMBALO-REPLAY COPIES ROUNDS
set -euo pipefail
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
printf 'joystick "Pad" buttons=2\nat 12000: quit\n' >"$work/script"
for round in $(seq "$3"); do
  for copy in $(seq "$2"); do "$1" "$work/script" --settings "$work/$copy" 2>"$work/$copy.err" & done
  for _ in $(seq $(($2 - 1))); do
    wait -n && s=0 || s=$?; (( s == 1 )) || { echo "round $round: a copy ended with $s"; exit 1; }
  done
  said=$(grep -l '^gimbalo-replay: message' "$work"/*.err | wc -l)
  (( said == $2 - 1 && $(jobs -pr | wc -l) == 1 )) || { echo "round $round"; cat "$work"/*.err; exit 1; }
  kill -TERM $(jobs -p); wait || true; rm "$work"/*.err
done
echo "$3 rounds of $2 copies started at once: one ran each time"
