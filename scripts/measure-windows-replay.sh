#!/usr/bin/env bash
# Measures what the Windows gimbalo-replay.exe costs under Wine while it
# polls one centred joystick (the Windows program does not rest): CPU as a
# share of one core, peak resident memory (VmHWM) and the achieved tick
# rate, over a steady-state window that starts 1.5 s after the program
# does. A Linux gimbalo-replay may be named instead, for a comparison in the
# same minute (it runs with --poll, polling as the Windows program does).
# Each run has its own Xvfb and its own settings and runtime folders, so a
# real copy of the program is left alone. scripts/measure-replay.sh measures
# the Linux program at rest and held, beside bare Qt programs.
#
# usage: scripts/measure-windows-replay.sh [--seconds N] [BINARY]
#   BINARY     the gimbalo-replay to measure (default: build/gimbalo-replay);
#              a gimbalo-replay.exe runs under Wine, in a fresh prefix of
#              its own (made before the runs, outside the window)
#   --seconds  length of the window (default 10)
#
# Two runs. The first runs without --trace, as the program runs for a user:
# its CPU and memory are the figures checked against the targets. The second
# runs with --trace to a file and counts the trace lines written during the
# window: that is the tick rate. Tracing is not free (each line asks the X
# server where the pointer is), so its CPU is shown apart.
#
# CPU comes from the scheduler's run time of every thread of the process
# (/proc/PID/task/*/schedstat, nanoseconds), and, as a cross-check, from the
# user and system times of /proc/PID/stat (clock ticks, coarse). Under Wine
# the program's process is the Linux process that runs the .exe; what Wine's
# own processes of the prefix (wineserver, services, the desktop) spend
# meanwhile, much of it on the program's behalf, is shown apart.
set -euo pipefail

usage() { echo "usage: $0 [--seconds N] [BINARY]" >&2; exit 2; }

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/measure-common.sh
. "$root/scripts/measure-common.sh"
binary="$root/build/gimbalo-replay"
seconds=10
binary_given=0
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds)
            [ $# -ge 2 ] || usage
            seconds=$(whole_number --seconds "$2" 3600)
            shift 2
            ;;
        -h|--help) echo "usage: $0 [--seconds N] [BINARY]"; exit 0 ;;
        -*) echo "$0: unknown option $1" >&2; usage ;;
        *)
            [ "$binary_given" = 0 ] || usage
            binary=$1
            binary_given=1
            shift
            ;;
    esac
done
if [ ! -f "$binary" ]; then
    echo "$0: no gimbalo-replay at $binary (build it, or name it as the last argument)" >&2
    exit 2
fi
if [ ! -x "$binary" ]; then
    echo "$0: $binary is not executable" >&2
    exit 2
fi
windows=0
case "$binary" in *.exe) windows=1 ;; esac
tools=(xvfb-run awk getconf)
[ "$windows" = 1 ] && tools+=(wine wineserver wineboot)
for tool in "${tools[@]}"; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing" >&2; exit 2; }
done

work=$(mktemp -d)
pid=""
prefix="$work/wine-prefix"
launcher=()
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
    [ "$windows" = 1 ] && "$root/scripts/wine-run.sh" "$prefix" --stop >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
if [ "$windows" = 1 ]; then
    # The prefix is made now, without a display, so no run waits for it.
    env -u DISPLAY "$root/scripts/wine-run.sh" "$prefix" --start >/dev/null 2>&1
    "$root/scripts/wine-run.sh" "$prefix" --stop >/dev/null 2>&1
    launcher=("$root/scripts/wine-run.sh" "$prefix")
fi

# Enough ticks at 200 a second to outlast the window by a couple of seconds.
quit_tick=$(( (seconds + 3) * 200 ))
printf 'joystick "Measure" buttons=4\nat %d: quit\n' "$quit_tick" > "$work/run.script"

# Run time of Wine's own processes of the prefix: all that have it in their
# environment, the program aside.
wine_ns() {
    local p sum=0
    [ "$windows" = 1 ] || { echo 0; return; }
    for p in /proc/[0-9]*; do
        [ "${p#/proc/}" = "$pid" ] && continue
        { tr '\0' '\n' < "$p/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$prefix" || continue
        sum=$(( sum + $(cat "$p"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { print s + 0 }') ))
    done
    echo "$sum"
}
# utime + stime in clock ticks; the command name may hold blanks, so count from the ")".
cpu_ticks() { sed 's/.*) //' /proc/"$pid"/stat | awk '{ print $12 + $13 }'; }

# Runs the replay once; with "trace" as $1 it traces to a file. Sets wall,
# cpu, cpu_stat, hwm_kb, threads and lines (trace lines in the window).
measure() {
    local mode=$1 dir="$work/$1"
    local args=("$work/run.script")
    # The Linux program would rest on the centred stick; the Windows one polls.
    [ "$windows" = 1 ] || args+=(--poll)
    [ "$mode" = trace ] && args+=(--trace)
    start_measured "$dir" 1.5 0 "${launcher[@]}" "$binary" "${args[@]}"

    local t0 ns0 ct0 l0 w0 t1 ns1 ct1 l1 w1 status=0
    t0=$(now_ns); ns0=$(cpu_ns); ct0=$(cpu_ticks); l0=$(wc -l < "$dir/out"); w0=$(wine_ns)
    sleep "$seconds"
    t1=$(now_ns); ns1=$(cpu_ns); ct1=$(cpu_ticks); l1=$(wc -l < "$dir/out"); w1=$(wine_ns)
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "$0: the replay ended before the window did" >&2
        cat "$dir/err" >&2
        exit 1
    fi
    hwm_kb=$(awk '/^VmHWM:/ { print $2 }' /proc/"$pid"/status)
    threads=$(awk '/^Threads:/ { print $2 }' /proc/"$pid"/status)
    wait "$runner" || status=$?
    pid=""
    if [ "$status" != 0 ]; then
        echo "$0: the replay ($mode run) ended with status $status" >&2
        cat "$dir/err" >&2
        exit 1
    fi
    wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
    cpu=$(awk -v a="$ns0" -v b="$ns1" -v w="$wall" 'BEGIN { printf "%.3f", (b - a) / 1e9 / w * 100 }')
    wine_cpu=$(awk -v a="$w0" -v b="$w1" -v w="$wall" 'BEGIN { printf "%.3f", (b - a) / 1e9 / w * 100 }')
    cpu_stat=$(awk -v a="$ct0" -v b="$ct1" -v w="$wall" -v hz="$(getconf CLK_TCK)" \
        'BEGIN { printf "%.2f", (b - a) / hz / w * 100 }')
    lines=$(( l1 - l0 ))
}

echo "binary:     $binary"
echo "machine:    $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"

measure plain
plain_cpu=$cpu plain_stat=$cpu_stat plain_wall=$wall plain_hwm=$hwm_kb plain_threads=$threads
plain_wine=$wine_cpu
measure trace
rate=$(awk -v n="$lines" -v w="$wall" 'BEGIN { printf "%.1f", n / w }')
hwm_mb=$(awk -v k="$plain_hwm" 'BEGIN { printf "%.1f", k / 1024 }')
trace_hwm_mb=$(awk -v k="$hwm_kb" 'BEGIN { printf "%.1f", k / 1024 }')

echo "window:     ${plain_wall} s without trace (${plain_threads} threads), ${wall} s with trace"
echo "cpu:        ${plain_cpu} % of one core (schedstat; ${plain_stat} % from utime+stime)   target <= 0.5 %: $(verdict "$plain_cpu <= 0.5")"
echo "peak rss:   ${hwm_mb} MB (VmHWM)   target <= 24 MB: $(verdict "$hwm_mb <= 24")"
echo "tick rate:  ${rate} ticks/s (${lines} trace lines)   target >= 195: $(verdict "$rate >= 195")"
echo "with trace: ${cpu} % of one core, ${trace_hwm_mb} MB peak"
if [ "$windows" = 1 ]; then
    echo "wine:       ${plain_wine} % of one core in Wine's own processes without trace, ${wine_cpu} % with"
fi
