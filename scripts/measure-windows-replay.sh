#!/usr/bin/env bash
# Measures what the Windows gimbalo-replay.exe costs under Wine with a
# centred stick (the program rests) and with the stick held (it polls and
# moves the pointer every 5 ms), each beside the same run with --poll (plain
# polling, as the program ran before it could rest): wake-ups a second and
# CPU as a share of one core, for the program and for Wine's server, over a
# steady-state window that starts 1.5 s after the program does; then the
# peak resident memory (VmHWM) and, from a traced run with the stick held,
# the achieved tick rate. A Linux gimbalo-replay may be named instead, for a
# comparison in the same minute (no Wine figures then). Each run has its own
# Xvfb and its own settings and runtime folders, so a real copy of the
# program is left alone. scripts/measure-replay.sh measures the Linux program
# beside bare Qt programs; scripts/measure-windows-ticks.sh the gaps between
# ticks while forms and menus are used.
#
# usage: scripts/measure-windows-replay.sh [--seconds N] [BINARY]
#   BINARY     the gimbalo-replay to measure (default: build/gimbalo-replay);
#              a gimbalo-replay.exe runs under Wine, in a fresh prefix of
#              its own (made before the runs, outside the window)
#   --seconds  length of each window (default 10)
#
# Wake-ups are the voluntary and involuntary context switches of all the
# process's threads (/proc/PID/task/*/status); CPU comes from the
# scheduler's run time of every thread (/proc/PID/task/*/schedstat,
# nanoseconds). Under Wine the program's process is the Linux process that
# runs the .exe; the wineserver of the prefix, which does part of every wait
# and every posted message on the program's behalf, is shown apart, and so is
# what Wine's other processes of the prefix (services, the desktop) spend.
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
write_measure_scripts "$work" "$quit_tick"

# The prefix's wineserver, and its other Wine processes (the program aside).
wine_pids() {
    local p
    [ "$windows" = 1 ] || return 0
    for p in /proc/[0-9]*; do
        [ "${p#/proc/}" = "$pid" ] && continue
        { tr '\0' '\n' < "$p/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$prefix" || continue
        # Debian names it wineserver32 or wineserver64.
        case "$(cat "$p/comm" 2>/dev/null)" in
            wineserver*) [ "$1" = server ] && echo "${p#/proc/}" ;;
            *) [ "$1" = server ] || echo "${p#/proc/}" ;;
        esac
    done
}
# "PID run-time-ns context-switches", a line for each process given.
usage_of() {
    local p
    for p in "$@"; do
        [ -d /proc/"$p" ] || continue  # it ended: what it spent is not known
        echo "$p $(cat /proc/"$p"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f", s }') $(
            cat /proc/"$p"/task/*/status 2>/dev/null |
            awk '/^(voluntary|nonvoluntary)_ctxt_switches:/ { s += $2 } END { printf "%.0f", s }')"
    done
}
# "run-time-ns context-switches" that the processes of FILE0 (usage_of
# lines) spent by FILE1, counting only those still there at the end.
spent() { awk 'FNR == NR { ns[$1] = $2; sw[$1] = $3; next }
    ($1 in ns) && $2 != "" { n += $2 - ns[$1]; s += $3 - sw[$1] } END { printf "%.0f %.0f\n", n, s }' "$1" "$2"; }

# Runs the replay once on SCRIPT with ARGUMENTS; prints "program-wakes/s
# program-cpu% server-wakes/s server-cpu% others-cpu% hwm-kB trace-lines".
measure() {
    local name=$1 script=$2; shift 2
    local dir="$work/$name"
    start_measured "$dir" 1.5 0 "${launcher[@]}" "$binary" "$script" "$@"
    local server others t0 p0 s0 o0 t1 p1 s1 o1 l0 l1 status=0
    server=$(wine_pids server); others=$(wine_pids others)
    t0=$(now_ns)
    usage_of "$pid" > "$dir/p0"; usage_of $server > "$dir/s0"; usage_of $others > "$dir/o0"
    l0=$(grep -c '^tick=[0-9]* x=' "$dir/out" || true)
    sleep "$seconds"
    t1=$(now_ns)
    usage_of "$pid" > "$dir/p1"; usage_of $server > "$dir/s1"; usage_of $others > "$dir/o1"
    l1=$(grep -c '^tick=[0-9]* x=' "$dir/out" || true)
    p0=0; p1=$(spent "$dir/p0" "$dir/p1"); s0=0; s1=$(spent "$dir/s0" "$dir/s1")
    o0=0; o1=$(spent "$dir/o0" "$dir/o1")
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "$0: the replay ($name) ended before the window did" >&2
        cat "$dir/err" >&2
        exit 1
    fi
    local hwm
    hwm=$(awk '/^VmHWM:/ { print $2 }' /proc/"$pid"/status)
    wait "$runner" || status=$?
    pid=""
    if [ "$status" != 0 ]; then
        echo "$0: the replay ($name) ended with status $status" >&2
        cat "$dir/err" >&2
        exit 1
    fi
    awk -v t0="$t0" -v t1="$t1" -v p0="$p0" -v p1="$p1" -v s0="$s0" -v s1="$s1" -v o0="$o0" \
        -v o1="$o1" -v hwm="$hwm" -v lines=$(( l1 - l0 )) 'BEGIN {
        w = (t1 - t0) / 1e9
        split(p0, a); split(p1, b); split(s0, c); split(s1, d); split(o0, e); split(o1, f)
        printf "%.2f %.3f %.2f %.3f %.3f %d %d\n", (b[2] - a[2]) / w, (b[1] - a[1]) / 1e9 / w * 100,
            (d[2] - c[2]) / w, (d[1] - c[1]) / 1e9 / w * 100, (f[1] - e[1]) / 1e9 / w * 100,
            hwm, lines }'
}

echo "binary:     $binary"
echo "machine:    $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
echo "method:     windows of $seconds s, 1.5 s after each start"
echo
printf '%-28s %-18s %-18s %-18s %-18s %s\n' "" "program wakes/s" "program cpu %" \
    "wineserver wakes/s" "wineserver cpu %" "other Wine cpu %"
for run in "rest" "rest --poll" "held" "held --poll"; do
    read -r name mode <<< "$run"
    args=()
    [ -n "${mode:-}" ] && args+=("$mode")
    figures=$(measure "${name}${mode:+-poll}" "$work/$name.script" "${args[@]}")
    read -r pw pc sw sc oc hwm _ <<< "$figures"
    eval "${name}${mode:+_poll}_wakes=\$pw"
    label="stick $( [ "$name" = rest ] && echo centred || echo held )${mode:+, $mode}"
    if [ "$windows" = 1 ]; then
        printf '%-28s %-18s %-18s %-18s %-18s %s\n' "$label" "$pw" "$pc" "$sw" "$sc" "$oc"
    else
        printf '%-28s %-18s %-18s %-18s %-18s %s\n' "$label" "$pw" "$pc" "-" "-" "-"
    fi
done
figures=$(measure rate "$work/held.script" --trace)
read -r _ tc _ _ _ hwm lines <<< "$figures"
rate=$(awk -v n="$lines" -v s="$seconds" 'BEGIN { printf "%.1f", n / s }')
hwm_mb=$(awk -v k="$hwm" 'BEGIN { printf "%.1f", k / 1024 }')
echo
echo "at rest:    $rest_wakes wake-ups a second for the program   target <= 1: $(verdict "$rest_wakes <= 1")"
echo "tick rate:  ${rate} ticks/s with the stick held (${lines} trace lines; ${tc} % cpu with trace)   target >= 195: $(verdict "$rate >= 195")"
echo "peak rss:   ${hwm_mb} MB (VmHWM, traced run)"
