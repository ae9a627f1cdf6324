#!/usr/bin/env bash
# The setup program as a user meets it, under Wine in a prefix made afresh:
# a silent install puts the program, its Start-menu shortcut and its
# uninstall entry in place; the installed Gimbalo starts from there and says
# there is no joystick; a silent uninstall removes all of it and the start at
# log-on but keeps the settings, which an uninstall with /DELETESETTINGS
# removes too.
#   check-setup.sh WINE_RUN PREFIX CPACK BUILD_DIR
# Exit status 77 (skipped) without an X display or xdotool.
set -euo pipefail
if [[ $# -ne 4 ]]; then
  echo "usage: check-setup.sh WINE_RUN PREFIX CPACK BUILD_DIR" >&2
  exit 2
fi
run=$1 prefix=$2 cpack=$3 build=$4
if [[ -z "${DISPLAY:-}" ]] || ! command -v xdotool >/dev/null; then
  echo "$0: no X display or no xdotool: skipped"
  exit 77
fi

work=$build/setup-check
# rm does not follow the prefix's links to the drives.
rm -rf "$work" "$prefix"
"$cpack" -G NSIS --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
setup=$(echo "$work"/Gimbalo-*-win32-setup.exe)
version=${setup##*/Gimbalo-}
version=${version%-win32-setup.exe}

# No menu entries on this machine's desktop for the shortcut.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winedbg.exe=d;winemenubuilder.exe=d"
# The prefix, with a server kept up between the steps below and Wine's own
# background programs started with their output going nowhere (started by a
# step, they would hold the test's output open). No notification area of its
# own: the suite's may be up, and no step needs one.
"$run" "$prefix" cmd /c exit </dev/null >/dev/null 2>&1
WINEPREFIX=$prefix wineserver -w
WINEPREFIX=$prefix wineserver -p20 </dev/null >/dev/null 2>&1
"$run" "$prefix" wineboot </dev/null >/dev/null 2>&1
trap '"$run" "$prefix" --stop' EXIT
win() { "$run" "$prefix" "$@" </dev/null; }

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
user=$prefix/drive_c/users/$(id -un)
folder=$user/AppData/Local/Programs/Gimbalo
windows_folder="C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Gimbalo"
shortcut="$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Gimbalo.lnk"
roaming=$user/AppData/Roaming/Gimbalo
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Gimbalo'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

# The files in the installed folder, or "none" without one.
installed() {
  if [[ -d $folder ]]; then (cd "$folder" && find . -type f -printf '%P\n' | LC_ALL=C sort); else echo none; fi
}
expect_files() {
  [[ $(installed) == "$(printf '%s\n' "$@")" ]] || fail "$1...: the folder holds"$'\n'"$(installed)"
}
# The uninstaller hands over to a copy of itself and returns at once; the
# copy removes the uninstall entry last.
uninstall() {
  win "$folder/Uninstall.exe" /S "$@"
  for _ in $(seq 100); do
    win reg query "$uninstall_key" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  fail "the uninstall entry is still there 20 s after uninstalling"
}
expect_gone() {
  [[ ! -e $shortcut ]] || fail "the shortcut is left"
  ! win reg query "$run_key" /v Gimbalo >/dev/null 2>&1 || fail "the start at log-on is left"
}

# ---- installed
win "$setup" /S
expect_files Gimbalo.exe Lang/{Deutsch,English,Espanol,Francais,Italiano}.lng \
  "Leggere prima dell'uso.txt" License.txt Uninstall.exe Versioni.txt demo.replay \
  gimbalo-replay.exe
tr -d '\0' <"$shortcut" | grep -qF "Programs\\Gimbalo\\Gimbalo.exe" ||
  fail "no Start-menu shortcut to the installed Gimbalo.exe"
entry=$(win reg query "$uninstall_key" | tr -d '\r')
for value in "DisplayName    REG_SZ    Gimbalo" "DisplayVersion    REG_SZ    $version" \
  "Publisher    REG_SZ    The Gimbalo developers" \
  "DisplayIcon    REG_SZ    $windows_folder\\Gimbalo.exe" \
  "UninstallString    REG_SZ    \"$windows_folder\\Uninstall.exe\"" \
  "QuietUninstallString    REG_SZ    \"$windows_folder\\Uninstall.exe\" /S"; do
  grep -qxF "    $value" <<<"$entry" || fail "the uninstall entry lacks '$value':"$'\n'"$entry"
done
size=$(sed -n 's/^ *EstimatedSize *REG_DWORD *\(0x[0-9a-f]*\)$/\1/p' <<<"$entry")
kilobytes=$(du -sk --apparent-size "$folder" | cut -f1)
((${size:-0} > kilobytes * 9 / 10 && ${size:-0} < kilobytes * 11 / 10)) ||
  fail "EstimatedSize ${size:-missing} kB for a folder of $kilobytes kB"

# ---- started from the Start menu's target: no joystick under Wine, which
# its message box says (Wine traces the box's text); Enter closes the box.
WINEDEBUG=trace+msgbox "$run" "$prefix" "$folder/Gimbalo.exe" </dev/null >/dev/null \
  2>"$work/gimbalo.err" &
program=$!
for _ in $(seq 150); do
  grep -qF "No usable joystick or gamepad was found." "$work/gimbalo.err" && break
  sleep 0.2
done
if grep -qF "No usable joystick or gamepad was found." "$work/gimbalo.err"; then
  xdotool search --sync --onlyvisible --name '^Gimbalo$' windowfocus --sync key Return
else
  fail "the installed Gimbalo showed no no-joystick message:"$'\n'"$(tail -n 5 "$work/gimbalo.err")"
fi
for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.2; done
kill "$program" 2>/dev/null && fail "the installed Gimbalo did not end after its message"
status=0
wait "$program" || status=$?
[[ $status == 1 ]] || fail "the installed Gimbalo ended with $status, not 1"

# ---- settings beside the program and in the roaming folder, and the start
# at log-on the options write: the uninstall keeps the settings alone.
printf '1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nItaliano.lng\r\n' >"$folder/Gimbalo.ini"
echo "<html></html>" >"$folder/Invia_Traduzione.html"
mkdir -p "$roaming" && cp "$folder/Gimbalo.ini" "$roaming/"
win reg add "$run_key" /v Gimbalo /d "$windows_folder\\Gimbalo.exe" /f >/dev/null
uninstall
expect_files Gimbalo.ini Invia_Traduzione.html
[[ -f $roaming/Gimbalo.ini ]] || fail "the uninstall deleted the settings in the roaming folder"
expect_gone

# ---- installed again over the kept settings, which it leaves as they
# were; uninstalled with them.
win "$setup" /S
cmp -s "$folder/Gimbalo.ini" "$roaming/Gimbalo.ini" || fail "installing changed Gimbalo.ini"
uninstall /DELETESETTINGS
expect_files none
[[ ! -e $roaming ]] || fail "/DELETESETTINGS left $roaming"
expect_gone

if [[ $failures -gt 0 ]]; then
  echo "$failures check(s) failed; the prefix is kept: $prefix" >&2
  exit 1
fi
"$run" "$prefix" --stop
trap - EXIT
rm -rf "$prefix" "$prefix.lock"
echo "The setup program ($(du -k "$setup" | cut -f1) kB) installs, starts Gimbalo and uninstalls cleanly"
