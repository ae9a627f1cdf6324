#!/usr/bin/env bash
# Copies started at the same moment with one runtime folder: exactly one runs
# and the others end with the already-running message, round after round.
#   tests/linux/one_copy_at_a_time.sh GIMBALO-REPLAY COPIES ROUNDS
set -euo pipefail
replay=$1 copies=$2 rounds=$3
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
printf 'joystick "Pad" buttons=2\nat 12000: quit\n' >"$work/script"
for round in $(seq "$rounds"); do
  for copy in $(seq "$copies"); do
    "$replay" "$work/script" --settings "$work/settings$copy" >/dev/null 2>"$work/err$copy" &
  done
  told=0
  for _ in $(seq $((copies - 1))); do
    wait -n && status=0 || status=$?
    if (( status == 1 )); then told=$((told + 1)); fi
  done
  said=$(grep -l '^gimbalo-replay: message' "$work"/err* | wc -l)
  if (( told != copies - 1 || said != copies - 1 || $(jobs -pr | wc -l) != 1 )); then
    echo "round $round: $told of $copies copies ended, $said with the message"; cat "$work"/err*
    exit 1
  fi
  kill -TERM $(jobs -p); wait || true
  rm -f "$work"/err*
done
echo "$rounds rounds of $copies copies started at once: one ran each time"
