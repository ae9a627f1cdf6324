#!/usr/bin/env bash
# Builds the libFuzzer harnesses (preset "fuzz", clang 14, AddressSanitizer
# and UBSan) and runs each for SECONDS seconds (default 30), starting from its
# seed corpus in fuzz/corpus. New inputs go to a temporary folder, never into
# the tree. An input that breaks a harness's check or crashes it is kept in
# build-fuzz/findings and makes the script fail.
#
# Usage: scripts/fuzz.sh [SECONDS] [HARNESS...]
#   HARNESS: settings_reader settings_writer language_file replay_script
#            file_dialog program (all of them when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."

harnesses=(settings_reader settings_writer language_file replay_script file_dialog program)
usage() {
  local status=${1:-2}
  local out=2
  [[ $status -eq 0 ]] && out=1
  {
    echo "usage: scripts/fuzz.sh [SECONDS] [HARNESS...]"
    echo "  SECONDS: whole seconds per harness, 1 to 86400 (default 30)"
    echo "  HARNESS: ${harnesses[*]}"
  } >&$out
  exit "$status"
}

seconds=30
if [[ $# -gt 0 && "$1" =~ ^[0-9]+$ ]]; then
  if (( ${#1} > 5 || 10#$1 < 1 || 10#$1 > 86400 )); then
    echo "scripts/fuzz.sh: SECONDS must be from 1 to 86400, not '$1'" >&2
    usage
  fi
  seconds=$((10#$1))
  shift
fi
chosen=()
for name in "$@"; do
  case "$name" in
    -h|--help) usage 0 ;;
  esac
  if [[ ! " ${harnesses[*]} " =~ " $name " ]]; then
    echo "scripts/fuzz.sh: '$name' is no harness (and SECONDS, a whole number, comes first)" >&2
    usage
  fi
  chosen+=("$name")
done
[[ ${#chosen[@]} -gt 0 ]] || chosen=("${harnesses[@]}")

scripts/install-deps.sh
cmake --preset fuzz -DGIMBALO_WERROR=ON >/dev/null
cmake --build --preset fuzz -j2

# The harnesses write their files in the temporary folder: memory, when the
# machine has a memory file system, so flushing costs nothing.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [[ -d /dev/shm && -w /dev/shm ]]; then export TMPDIR=/dev/shm; fi
findings=build-fuzz/findings
mkdir -p "$findings"

failed=()
printf '%-16s %10s %8s %8s  %s\n' harness runs cov ft result
for name in "${chosen[@]}"; do
  mkdir -p "$work/$name"
  log="$work/$name.log"
  status=0
  extra=()
  # The whole program goes deeper with long inputs (more steps) from the start.
  [[ $name == program ]] && extra=(-len_control=0)
  "build-fuzz/${name}_fuzzer" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/$name-" "${extra[@]}" \
    "$work/$name" "fuzz/corpus/$name" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  if [[ $status -eq 0 ]]; then
    result=ok
  else
    result="FINDING (log: $findings/$name.log)"
    cp "$log" "$findings/$name.log"
    failed+=("$name")
  fi
  printf '%-16s %10s %8s %8s  %s\n' "$name" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$result"
done

if [[ ${#failed[@]} -gt 0 ]]; then
  echo "scripts/fuzz.sh: findings in: ${failed[*]}" >&2
  for name in "${failed[@]}"; do
    grep -E '^[^ ]*\.(cpp|h):[0-9]+: |^SUMMARY' "$findings/$name.log" | head -3 >&2 || true
  done
  exit 1
fi
