# Shell functions the measurement scripts share; sourced, not run. They read
# and set the calling script's `pid` (the measured program) and `runner`
# (the X server's wrapper around it).

# Prints VALUE, a whole number from 1 to MAX, in base 10 (leading zeros are
# no octal); anything else is an error for option NAME, and the script exits
# with status 2.   usage: value=$(whole_number NAME VALUE MAX)
whole_number() {
    case "$2" in
        ''|*[!0-9]*) echo "$0: $1 needs a whole number from 1 to $3, not '$2'" >&2; exit 2 ;;
    esac
    local value=$(( 10#$2 ))
    if [ "${#2}" -gt 9 ] || [ "$value" -lt 1 ] || [ "$value" -gt "$3" ]; then
        echo "$0: $1 needs a whole number from 1 to $3, not '$2'" >&2
        exit 2
    fi
    echo "$value"
}

# The scheduler's run time of all the program's threads, in nanoseconds.
cpu_ns() { cat /proc/"$pid"/task/*/schedstat 2>/dev/null | awk '{ sum += $1 } END { print sum + 0 }'; }
now_ns() { date +%s%N; }
# "ok" when the awk condition holds, else "MISSED".
verdict() { if awk "BEGIN { exit !($1) }"; then echo ok; else echo MISSED; fi; }

# Starts COMMAND under its own X server, with settings and runtime folders
# of its own below DIR and, when TRAYER is 1, a notification area (trayer).
# Its output goes to DIR/out and DIR/err. Waits up to 30 s for it to start,
# then SETTLE seconds for its start-up to end; exits the script when it does
# not start or ends meanwhile. Sets pid and runner.
#   usage: start_measured DIR SETTLE TRAYER COMMAND [ARGUMENTS...]
start_measured() {
    local dir=$1 settle=$2 trayer=$3
    shift 3
    mkdir -p "$dir/config" "$dir/runtime"
    chmod 700 "$dir/runtime"
    # The wrapper writes its PID and becomes the program, so the PID is the
    # program's (under Wine too: wine becomes the program's process).
    XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$dir/runtime" HAVE_TRAYER=$trayer \
        xvfb-run -a -s "-screen 0 1280x800x24 -noreset" \
        sh -c 'if [ "$HAVE_TRAYER" = 1 ]; then
                   trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
                   sleep 0.5
               fi
               echo $$ > "$0"; exec "$@"' "$dir/pid" "$@" > "$dir/out" 2> "$dir/err" &
    runner=$!
    pid=""
    local i
    for i in $(seq 300); do
        [ -s "$dir/pid" ] && break
        kill -0 "$runner" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$dir/pid" ]; then
        echo "$0: $* did not start" >&2
        cat "$dir/err" >&2
        exit 1
    fi
    pid=$(cat "$dir/pid")
    sleep "$settle"
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "$0: $* ended during start-up" >&2
        cat "$dir/err" >&2
        exit 1
    fi
}

# Writes the two scripts the measurements run into DIR, both ending at tick
# QUIT: rest.script, a centred stick; held.script, the stick held all the
# time, turning round every 140 ticks so the pointer keeps crossing the
# screen (at 9 pixels a tick after the acceleration).
#   usage: write_measure_scripts DIR QUIT
write_measure_scripts() {
    local tick=141 x=65535
    printf 'joystick "Measure" buttons=4\nat %d: quit\n' "$2" > "$1/rest.script"
    {
        printf 'joystick "Measure" buttons=4\nat 1: x=0\n'
        while [ "$tick" -lt "$2" ]; do
            printf 'at %d: x=%d\n' "$tick" "$x"
            tick=$(( tick + 140 )); x=$(( 65535 - x ))
        done
        printf 'at %d: quit\n' "$2"
    } > "$1/held.script"
}
