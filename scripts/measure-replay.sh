#!/usr/bin/env bash
# Measures what gimbalo-replay costs with a centred stick (the program rests)
# and with the stick held (it polls and moves the pointer every 5 ms), beside
# two bare Qt programs built with it (gimbalo-bare): one with a tray icon and
# nothing else, one with a 5 ms timer and nothing else. The four are run one
# after the other, round after round, so a busy machine weighs on all alike;
# each figure is the median of the rounds, with the range.
#
# usage: scripts/measure-replay.sh [--seconds N] [--rounds N] [BUILD_DIR]
#   BUILD_DIR  the build holding gimbalo-replay and gimbalo-bare (default:
#              build); the path of its gimbalo-replay will do too
#   --seconds  length of each measured window (default 20)
#   --rounds   rounds of the four programs (default 3)
#
# Each program runs under its own Xvfb with a notification area (trayer, when
# it is installed), its own settings and runtime folders, and is measured
# over a window that starts 2 s after it does:
#   wake-ups  voluntary plus involuntary context switches of all its threads
#             (/proc/PID/task/*/status), a second;
#   cpu       the scheduler's run time of all its threads
#             (/proc/PID/task/*/schedstat), as a share of one core;
#   rss, anon VmRSS and RssAnon of /proc/PID/status at the window's end.
# Then one traced run with the stick held gives the tick rate.
set -euo pipefail

usage() { echo "usage: $0 [--seconds N] [--rounds N] [BUILD_DIR]" >&2; exit 2; }

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/measure-common.sh
. "$root/scripts/measure-common.sh"
build="$root/build"
seconds=20
rounds=3
build_given=0
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) [ $# -ge 2 ] || usage; seconds=$(whole_number --seconds "$2" 3600); shift 2 ;;
        --rounds) [ $# -ge 2 ] || usage; rounds=$(whole_number --rounds "$2" 100); shift 2 ;;
        -h|--help) echo "usage: $0 [--seconds N] [--rounds N] [BUILD_DIR]"; exit 0 ;;
        -*) echo "$0: unknown option $1" >&2; usage ;;
        *) [ "$build_given" = 0 ] || usage; build=$1; build_given=1; shift ;;
    esac
done
# The replay program itself names its build folder too.
if [ -f "$build" ]; then build=$(dirname "$build"); fi
replay="$build/gimbalo-replay"
bare="$build/gimbalo-bare"
for program in "$replay" "$bare"; do
    if [ ! -f "$program" ]; then
        echo "$0: no $(basename "$program") in $build (build it, or name the build folder)" >&2
        exit 2
    fi
    [ -x "$program" ] || { echo "$0: $program is not executable" >&2; exit 2; }
done
for tool in xvfb-run awk sort; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing" >&2; exit 2; }
done
have_trayer=0
command -v trayer >/dev/null && have_trayer=1

work=$(mktemp -d)
pid=""
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# Enough ticks at 200 a second to outlast start-up and the window.
quit_tick=$(( (seconds + 6) * 200 ))
write_measure_scripts "$work" "$quit_tick"

switches() {
    cat /proc/"$pid"/task/*/status 2>/dev/null |
        awk '/^(voluntary|nonvoluntary)_ctxt_switches:/ { sum += $2 } END { print sum + 0 }'
}
status_kb() { awk -v key="$1:" '$1 == key { print $2 }' /proc/"$pid"/status; }

# Ends the program started last and waits for its X server to go.
finish() {
    kill -TERM "$pid" 2>/dev/null || true
    wait "$runner" 2>/dev/null || true
    pid=""
}

# Measures one program over the window; appends "wakes cpu rss anon" to the
# subject's figures.
measure() {
    local subject=$1 round=$2; shift 2
    local dir="$work/$subject.$round"
    start_measured "$dir" 2 "$have_trayer" "$@"
    local t0 ns0 sw0 t1 ns1 sw1
    t0=$(now_ns); ns0=$(cpu_ns); sw0=$(switches)
    sleep "$seconds"
    t1=$(now_ns); ns1=$(cpu_ns); sw1=$(switches)
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "$0: $subject ended before the window did" >&2
        cat "$dir/err" >&2
        exit 1
    fi
    local rss anon
    rss=$(status_kb VmRSS); anon=$(status_kb RssAnon)
    finish
    awk -v t0="$t0" -v t1="$t1" -v n0="$ns0" -v n1="$ns1" -v s0="$sw0" -v s1="$sw1" \
        -v rss="$rss" -v anon="$anon" 'BEGIN {
            wall = (t1 - t0) / 1e9
            printf "%.2f %.3f %.1f %.2f\n", (s1 - s0) / wall, (n1 - n0) / 1e9 / wall * 100,
                   rss / 1024, anon / 1024 }' >> "$work/$subject.figures"
}

# "median (low to high)" of column N of a subject's figures.
figure() {
    awk -v n="$2" '{ print $n }' "$work/$1.figures" | sort -g |
        awk '{ v[NR] = $1 } END {
            m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%s (%s to %s)", m + 0, v[1], v[NR] }'
}
median() { figure "$1" "$2" | cut -d' ' -f1; }

echo "date:       $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "build:      $build"
echo "machine:    $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
echo "method:     $rounds rounds of $seconds s windows; notification area: $([ "$have_trayer" = 1 ] && echo trayer || echo none)"

for round in $(seq "$rounds"); do
    measure tray "$round" "$bare" tray
    measure rest "$round" "$replay" "$work/rest.script"
    measure timer "$round" "$bare" timer
    measure held "$round" "$replay" "$work/held.script"
done

# The tick rate with the stick held, from the trace lines of a window.
dir="$work/rate"
start_measured "$dir" 2 "$have_trayer" "$replay" "$work/held.script" --trace
l0=$(grep -c '^tick=[0-9]* x=' "$dir/out" || true); t0=$(now_ns)
sleep 5
l1=$(grep -c '^tick=[0-9]* x=' "$dir/out" || true); t1=$(now_ns)
finish
rate=$(awk -v a="$l0" -v b="$l1" -v t0="$t0" -v t1="$t1" 'BEGIN { printf "%.1f", (b - a) / ((t1 - t0) / 1e9) }')

echo "load:       $(cut -d' ' -f1-3 /proc/loadavg) at the end"
echo
printf '%-26s %-26s %-26s %-22s %s\n' "" "wake-ups a second" "cpu, % of one core" "rss MB" "anon rss MB"
for subject in tray rest timer held; do
    case $subject in
        tray) name="bare Qt, tray icon" ;;
        rest) name="gimbalo, stick centred" ;;
        timer) name="bare Qt, 5 ms timer" ;;
        held) name="gimbalo, stick held" ;;
    esac
    printf '%-26s %-26s %-26s %-22s %s\n' "$name" "$(figure $subject 1)" "$(figure $subject 2)" \
        "$(figure $subject 3)" "$(figure $subject 4)"
done
echo
rest_wakes=$(median rest 1); rest_cpu=$(median rest 2); tray_cpu=$(median tray 2)
held_cpu=$(median held 2); timer_cpu=$(median timer 2)
rest_anon=$(median rest 4); held_anon=$(median held 4)
echo "at rest:    $rest_wakes wake-ups a second   target <= 1: $(verdict "$rest_wakes <= 1")"
echo "at rest:    cpu $rest_cpu % against $tray_cpu % for the bare tray program   target within 0.05: $(verdict "$rest_cpu - $tray_cpu <= 0.05")"
echo "held:       cpu $held_cpu % against $timer_cpu % for the bare timer program ($(awk -v a="$held_cpu" -v b="$timer_cpu" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }') times)   target <= 1.5 times: $(verdict "$held_cpu <= 1.5 * $timer_cpu")"
echo "anon rss:   $rest_anon MB at rest, $held_anon MB held   target <= 4 MB: $(verdict "$rest_anon <= 4 && $held_anon <= 4")"
echo "tick rate:  $rate ticks a second, stick held   target >= 195: $(verdict "$rate >= 195")"
