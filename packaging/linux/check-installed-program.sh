#!/usr/bin/env bash
# Runs an installed Gimbalo as a user would: its --version without a
# display, then a start on the X display in $DISPLAY with no joystick and
# settings that name Italiano.lng, which must end with the Italian
# no-joystick message (proof that it found its installed language files) and
# leave an autostart entry with the fields of the installed desktop entry.
#
# Usage: check-installed-program.sh PREFIX APP_ID VERSION
# (PREFIX is /usr for the Debian package). Prints what is wrong and exits 1.
set -uo pipefail

prefix=${1:?usage: check-installed-program.sh PREFIX APP_ID VERSION}
app_id=${2:?usage: check-installed-program.sh PREFIX APP_ID VERSION}
version=${3:?usage: check-installed-program.sh PREFIX APP_ID VERSION}
source_data=$(cd "$(dirname "$0")/../../data" && pwd)

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

work=$(mktemp -d)
program_pid=
cleanup() {
  if [[ -n $program_pid ]]; then
    kill "$program_pid" 2>/dev/null
    wait "$program_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# ---- both programs answer without an X display (the build's tests check
# their command lines in full)
for program in gimbalo gimbalo-replay; do
  first=$(env -u DISPLAY "$prefix/bin/$program" --version | head -n 1)
  [[ $first == "$program $version" ]] || fail "$program --version said '$first'"
done

# ---- a start with Italian settings and no joystick
if [[ -z ${DISPLAY:-} ]]; then
  echo "check-installed-program.sh: no X display; the start is not checked" >&2
  exit $((failures > 0))
fi

# Entries 24 and 25 of the Italian language file (three leading characters
# each, then the text), read as the program reads it: UTF-8 when valid,
# else Windows-1252.
italiano=$source_data/Lang/Italiano.lng
if iconv -f UTF-8 -t UTF-8 "$italiano" >/dev/null 2>&1; then
  text=$(tr -d '\r' <"$italiano")
else
  text=$(iconv -f WINDOWS-1252 -t UTF-8 "$italiano" | tr -d '\r')
fi
expected="gimbalo: $(sed -n 24p <<<"$text" | cut -c4-) $(sed -n 25p <<<"$text" | cut -c4-)"

config=$work/config
runtime=$work/runtime
mkdir -p "$config/gimbalo" "$runtime"
chmod 700 "$runtime"
# Buttons 1 2 3, speed 2, acceleration on, start at log-on on, joystick 0.
printf '1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nItaliano.lng\r\n' >"$config/gimbalo/Gimbalo.ini"

env -u DBUS_SESSION_BUS_ADDRESS HOME="$work" XDG_CONFIG_HOME="$config" \
  XDG_RUNTIME_DIR="$runtime" "$prefix/bin/gimbalo" >"$work/start.out" 2>"$work/start.err" &
program_pid=$!
# The message waits in its box for a user; the line on the standard error
# comes before it.
for ((i = 0; i < 600; ++i)); do
  grep -q '^gimbalo: ' "$work/start.err" && break
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
line=$(grep -m 1 '^gimbalo: ' "$work/start.err")
if [[ $line != "$expected" ]]; then
  fail "the start said '${line:-nothing}', not '$expected'" \
    "(is a joystick connected? standard error: $(head -c 500 "$work/start.err"))"
fi
kill "$program_pid" 2>/dev/null
wait "$program_pid" 2>/dev/null
program_pid=

# The autostart entry the settings asked for: the installed desktop entry
# with the executable in full and the autostart key.
entry=$config/autostart/Gimbalo.desktop
desktop=$prefix/share/applications/$app_id.desktop
if [[ ! -f $entry ]]; then
  fail "no autostart entry was written"
else
  desktop-file-validate "$entry" || fail "the autostart entry is not a valid desktop entry"
  executable=$(readlink -f "$prefix/bin/gimbalo")
  wanted=$(sed "s|^Exec=.*|Exec=$executable|" "$desktop"; echo "X-GNOME-Autostart-enabled=true")
  [[ $(cat "$entry") == "$wanted" ]] ||
    fail "the autostart entry differs from the installed desktop entry:" \
      "$(diff <(echo "$wanted") "$entry")"
fi

exit $((failures > 0))
