#!/usr/bin/env bash
# Measures what gimbalo-replay costs while it polls one centred joystick:
# CPU as a share of one core, peak resident memory (VmHWM) and the achieved
# tick rate, over a steady-state window that starts one second after the
# first tick. Runs under its own Xvfb, with its own settings and runtime
# folders, so a real copy of the program is left alone.
#
# usage: scripts/measure-replay.sh [--seconds N] [--no-trace] [BINARY]
#   BINARY      the gimbalo-replay to measure (default: build/gimbalo-replay)
#   --seconds   length of the window (default 10)
#   --no-trace  run without --trace: CPU and memory only, no tick rate
#
# CPU comes from the scheduler's run time of every thread of the process
# (/proc/PID/task/*/schedstat, nanoseconds), and, for comparison, from the
# user and system times of /proc/PID/stat (clock ticks). The tick rate is
# the number of trace lines written during the window (the trace is line
# buffered and goes to a file in the temporary folder).
set -euo pipefail

usage() { echo "usage: $0 [--seconds N] [--no-trace] [BINARY]" >&2; exit 2; }

root=$(cd "$(dirname "$0")/.." && pwd)
binary="$root/build/gimbalo-replay"
seconds=10
trace=1
binary_given=0
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds)
            [ $# -ge 2 ] || usage
            seconds=$2
            shift 2
            ;;
        --no-trace) trace=0; shift ;;
        -h|--help) echo "usage: $0 [--seconds N] [--no-trace] [BINARY]"; exit 0 ;;
        -*) echo "$0: unknown option $1" >&2; usage ;;
        *)
            [ "$binary_given" = 0 ] || usage
            binary=$1
            binary_given=1
            shift
            ;;
    esac
done
case "$seconds" in
    ''|*[!0-9]*|0) echo "$0: --seconds needs a whole number of seconds above 0, not '$seconds'" >&2; exit 2 ;;
esac
if [ ! -f "$binary" ]; then
    echo "$0: no gimbalo-replay at $binary (build it, or name it as the last argument)" >&2
    exit 2
fi
if [ ! -x "$binary" ]; then
    echo "$0: $binary is not executable" >&2
    exit 2
fi
for tool in xvfb-run awk; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing" >&2; exit 2; }
done

work=$(mktemp -d)
pid=""
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"

# Enough ticks at 200 a second to outlast the window by a second or two.
quit_tick=$(( (seconds + 3) * 200 ))
printf 'joystick "Measure" buttons=4\nat %d: quit\n' "$quit_tick" > "$work/run.script"

trace_args=()
[ "$trace" = 1 ] && trace_args=(--trace)
# The wrapper writes its PID and becomes the replay, so the PID is the replay's.
XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    xvfb-run -a -s "-screen 0 1280x800x24 -noreset" \
    sh -c 'echo $$ > "$0"; exec "$@"' "$work/pid" "$binary" "$work/run.script" "${trace_args[@]}" \
    > "$work/trace" 2> "$work/stderr" &
runner=$!

# Waits up to 30 s for a condition.
wait_for() {
    local i
    for i in $(seq 300); do
        if eval "$1"; then return 0; fi
        kill -0 "$runner" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
wait_for '[ -s "$work/pid" ]' || { echo "$0: the replay did not start" >&2; cat "$work/stderr" >&2; exit 1; }
pid=$(cat "$work/pid")
if [ "$trace" = 1 ]; then
    wait_for '[ -s "$work/trace" ]' || { echo "$0: no tick was traced" >&2; cat "$work/stderr" >&2; exit 1; }
fi
sleep 1  # start-up is over; the steady state begins

cpu_ns() { cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{ sum += $1 } END { print sum + 0 }'; }
# utime + stime in clock ticks; the command name may hold blanks, so count from the ")".
cpu_ticks() { sed 's/.*) //' /proc/"$pid"/stat | awk '{ print $12 + $13 }'; }
lines() { if [ "$trace" = 1 ]; then wc -l < "$work/trace"; else echo 0; fi; }
now_ns() { date +%s%N; }

t0=$(now_ns); ns0=$(cpu_ns); ct0=$(cpu_ticks); l0=$(lines)
sleep "$seconds"
t1=$(now_ns); ns1=$(cpu_ns); ct1=$(cpu_ticks); l1=$(lines)
hwm_kb=$(awk '/^VmHWM:/ { print $2 }' /proc/"$pid"/status)
rss_kb=$(awk '/^VmRSS:/ { print $2 }' /proc/"$pid"/status)
threads=$(awk '/^Threads:/ { print $2 }' /proc/"$pid"/status)
clk_tck=$(getconf CLK_TCK)

status=0
wait "$runner" || status=$?
if [ "$status" != 0 ]; then
    echo "$0: the replay ended with status $status" >&2
    cat "$work/stderr" >&2
    exit 1
fi

awk -v t0="$t0" -v t1="$t1" -v ns0="$ns0" -v ns1="$ns1" -v ct0="$ct0" -v ct1="$ct1" \
    -v l0="$l0" -v l1="$l1" -v hwm="$hwm_kb" -v rss="$rss_kb" -v threads="$threads" \
    -v hz="$clk_tck" -v trace="$trace" -v binary="$binary" '
function verdict(ok) { return ok ? "ok" : "MISSED" }
BEGIN {
    wall = (t1 - t0) / 1e9
    cpu = (ns1 - ns0) / 1e9 / wall * 100
    cpu_stat = (ct1 - ct0) / hz / wall * 100
    mb = hwm / 1024
    printf "binary:      %s\n", binary
    printf "window:      %.2f s, %d threads\n", wall, threads
    printf "cpu:         %.3f %% of one core (schedstat); %.2f %% from utime+stime at %d Hz   target <= 0.5 %%: %s\n", cpu, cpu_stat, hz, verdict(cpu <= 0.5)
    printf "peak rss:    %.1f MB (VmHWM), %.1f MB now (VmRSS)   target <= 24 MB: %s\n", mb, rss / 1024, verdict(mb <= 24)
    if (trace == 1) {
        rate = (l1 - l0) / wall
        printf "tick rate:   %.1f ticks/s (%d trace lines)   target >= 195: %s\n", rate, l1 - l0, verdict(rate >= 195)
    } else {
        printf "tick rate:   not measured (--no-trace)\n"
    }
}'
