#!/usr/bin/env bash
# Measures the wall-time gaps between the Windows program's ticks while its
# forms and menus are used, under Wine: the about box and the options dialog
# opened and closed from the menu, the Language command destroying the
# options dialog, and, by the joystick's buttons on the options dialog, the
# speed list's edit's context menu (closed by a joystick click away from
# it), a list's drop-down, and the dialog moved by its title bar. Button 4
# is held meanwhile (no mouse button is mapped to it), so the program polls
# instead of resting and every period should bring a tick. The pointer is
# put on each control from outside (xdotool), as a mouse would; the clicks
# come from the joystick. The gaps come from scripts/tick-gaps.py.
#
# usage: scripts/measure-windows-ticks.sh [--managed] [BINARY]
#   BINARY     gimbalo-replay.exe (default build-windows/gimbalo-replay.exe)
#   --managed  leave Wine's windows to a window manager, of which Xvfb has
#              none: Wine then waits up to 2 s for one each time it hides a
#              window (closing a form), with the user-interface thread, and
#              so the tick, standing still. By default the fresh prefix has
#              Wine draw and move its windows itself (Managed=N), as with a
#              desktop whose window manager answers at once.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binary="$root/build-windows/gimbalo-replay.exe"
managed=0
while [ $# -gt 0 ]; do
    case "$1" in
        --managed) managed=1; shift ;;
        -h|--help) echo "usage: $0 [--managed] [BINARY]"; exit 0 ;;
        -*) echo "$0: unknown option $1" >&2; exit 2 ;;
        *) binary=$1; shift ;;
    esac
done
[ -f "$binary" ] || { echo "$0: no gimbalo-replay.exe at $binary (build it, or name it)" >&2; exit 2; }
for tool in xvfb-run xdotool python3 wine wineserver; do
    command -v "$tool" >/dev/null || { echo "$0: $tool is missing" >&2; exit 2; }
done
work=$(mktemp -d)
prefix="$work/wine-prefix"
cleanup() {
    "$root/scripts/wine-run.sh" "$prefix" --stop >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
env -u DISPLAY "$root/scripts/wine-run.sh" "$prefix" --start >/dev/null 2>&1
if [ "$managed" = 0 ]; then
    WINEPREFIX=$prefix WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\X11 Driver' \
        /v Managed /d N /f >/dev/null 2>&1
fi
"$root/scripts/wine-run.sh" "$prefix" --stop >/dev/null 2>&1

# A click of joystick button N at tick T: down for two ticks, then one tick
# with no button, then button 4 held again (one tick at rest does not rest).
click() { printf 'at %d: buttons=%d\nat %d: buttons=0\nat %d: buttons=8\n' "$2" "$1" $(( $2 + 2 )) $(( $2 + 3 )); }
{
    echo 'joystick "Measure" buttons=4'
    echo 'at 0: buttons=8'
    echo 'at 200: menu mnuAbout'
    echo 'at 600: menu mnuDef'
    echo "at 1000: dialog \"$(cd "$(dirname "$binary")" && pwd)/Lang/Italiano.lng\""
    echo 'at 1000: menu mnuLingua'
    echo 'at 1400: menu mnuDef'
    click 2 2000          # right button on the speed list's edit: its context menu
    click 1 2800          # left button away from the menu: closes it
    click 1 3600          # left on a list's drop button: the drop-down
    click 1 4400          # left away from it: closes it
    echo 'at 5200: buttons=1'  # left held on the title bar, the pointer moved meanwhile
    echo 'at 6000: buttons=0'
    echo 'at 6001: buttons=8'
    echo 'at 6400: menu mnuAbout'
    echo 'at 7000: menu mnuExit'
} > "$work/run.script"

# Waits until the trace has reached tick T.
reached() {
    local i
    for i in $(seq 1200); do
        grep -q "^tick=$1 " "$work/trace" 2>/dev/null && return 0
        sleep 0.05
    done
    echo "$0: the run did not reach tick $1" >&2
    exit 1
}

# The run, with the pointer put in place from outside at each step.
cat > "$work/drive.sh" <<'DRIVE'
set -euo pipefail
work=$1; shift
"$@" "$work/run.script" --trace 2>"$work/err" |
    python3 "$ROOT/scripts/tick-gaps.py" --report "$work/gaps" >"$work/trace" &
run=$!
. "$work/steps.sh"
wait "$run"
DRIVE
cat > "$work/steps.sh" <<STEPS
$(declare -f reached)
work=$work
reached 1700
# The options dialog: client area 497 x 312; its frame is what the window
# has beyond that, all of it above for the caption.
dialog=\$(xdotool search --onlyvisible --name ' - ' | tail -n 1)
eval "\$(xdotool getwindowgeometry --shell "\$dialog")"
border=\$(( (WIDTH - 497) / 2 )); left=\$(( X + border )); top=\$(( Y + HEIGHT - 312 - border ))
echo "options dialog at \$X,\$Y, \$WIDTH x \$HEIGHT" >> "\$work/notes"
xdotool mousemove \$(( left + 385 )) \$(( top + 120 ))   # the speed list's edit
reached 2400
xdotool mousemove 1200 760                                # away from the menu
reached 3300
xdotool mousemove \$(( left + 469 )) \$(( top + 32 ))    # the first list's drop button
reached 4100
xdotool mousemove 1200 760
reached 5000
xdotool mousemove \$(( left + 200 )) \$(( top - 10 ))    # the title bar
reached 5300
for step in \$(seq 20); do xdotool mousemove_relative -- -5 5; sleep 0.05; done
reached 6100
echo "options dialog then at: \$(xdotool getwindowgeometry "\$dialog" | grep Position)" >> "\$work/notes"
STEPS
ROOT=$root xvfb-run -a -s "-screen 0 1280x800x24 -noreset" \
    bash "$work/drive.sh" "$work" "$root/scripts/wine-run.sh" "$prefix" "$binary" || {
    echo "$0: the run failed" >&2; cat "$work/err" >&2; exit 1; }

echo "binary:     $binary"
echo "machine:    $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
echo "windows:    $([ "$managed" = 1 ] && echo "managed (no window manager in Xvfb)" || echo "drawn and moved by Wine (Managed=N)")"
cat "$work/notes"
# The menu commands, and the ticks that clicked.
grep -v '^tick=[0-9]* x=' "$work/trace" | grep -v '^$' | sed 's/^/trace:      /'
grep '^tick=[0-9]* x=.* events=[A-Z]' "$work/trace" | sed 's/^/trace:      /'
cat "$work/gaps"
