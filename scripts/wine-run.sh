#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the test runs' own
# prefix, which is made on first use:
#   scripts/wine-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
#   scripts/wine-run.sh PREFIX --start    make the prefix, keep a wineserver up,
#                                         and on an X display start a
#                                         notification area (trayer)
#   scripts/wine-run.sh PREFIX --stop     end that prefix's wineserver and
#                                         the notification area it started
# Nothing outside PREFIX is touched; other Wine users keep their servers.
set -euo pipefail
if [[ $# -lt 2 ]]; then
  echo "usage: scripts/wine-run.sh PREFIX (PROGRAM [ARGUMENTS...] | --start | --stop)" >&2
  exit 2
fi
prefix=$1
shift
case "$prefix" in
  /*) ;;
  *) echo "scripts/wine-run.sh: the prefix must be an absolute path, not '$prefix'" >&2; exit 2 ;;
esac
export WINEPREFIX=$prefix
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No prompts to install .NET or a browser engine: the program needs neither.
# No debugger waiting for a user when a program crashes: the crash is the
# answer.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree=;mshtml=;winedbg.exe=d}
for tool in wine wineserver wineboot; do
  if ! command -v "$tool" >/dev/null; then
    echo "scripts/wine-run.sh: $tool is missing: run scripts/install-deps.sh windows" >&2
    exit 1
  fi
done

# Makes the prefix once; concurrent callers wait for the first.
ensure_prefix() {
  mkdir -p "$(dirname "$prefix")"
  exec 9>"$prefix.lock"
  flock 9
  if [[ ! -f "$prefix/system.reg" ]]; then
    wineboot -i </dev/null >/dev/null 2>&1 || true
    wineserver -w
    if [[ ! -f "$prefix/system.reg" ]]; then
      echo "scripts/wine-run.sh: could not make the Wine prefix $prefix" >&2
      exit 1
    fi
    # Wine's own fonts (Tahoma for dialogs, Marlett for the title-bar
    # buttons), which Debian's Wine leaves out of a new prefix.
    cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  flock -u 9
  exec 9>&-
}

tray_pid_file=$prefix.trayer.pid

case "$1" in
  --start)
    ensure_prefix
    # The notification area Wine docks the tray icons in; started first, so
    # Wine's desktop finds it.
    if [[ -n "${DISPLAY:-}" ]] && command -v trayer >/dev/null && [[ ! -s "$tray_pid_file" ]]; then
      trayer --edge top --align right --widthtype request --height 24 \
        </dev/null >/dev/null 2>&1 &
      echo $! >"$tray_pid_file"
      for _ in $(seq 50); do
        xdotool search --class trayer >/dev/null 2>&1 && break
        sleep 0.1
      done
    fi
    # Stays up a minute after its last program, so a run that is cut short
    # leaves nothing behind for long. Its output goes nowhere: a test runner
    # would otherwise wait for the server to close it.
    wineserver -p60 </dev/null >/dev/null 2>&1
    # Wine's own background programs (services, the desktop with its tray)
    # start now, with their output going nowhere too; started by a test's
    # program, they would keep its output open as long as they run.
    wineboot </dev/null >/dev/null 2>&1 || true
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    ;;
  --stop)
    [[ -d "$prefix" ]] && wineserver -k 2>/dev/null || true
    if [[ -s "$tray_pid_file" ]]; then
      kill "$(cat "$tray_pid_file")" 2>/dev/null || true
      rm -f "$tray_pid_file"
    fi
    ;;
  *)
    ensure_prefix
    exec wine "$@"
    ;;
esac
