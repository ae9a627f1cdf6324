#!/usr/bin/env bash
# The setup program under Wine, in a prefix made afresh: a silent install,
# the installed Gimbalo started (no joystick: its message), a silent
# uninstall that keeps the settings, and one with /DELETESETTINGS that does not.
#   check-setup.sh WINE_RUN PREFIX CPACK BUILD_DIR   (under an X server, with xdotool)
set -euo pipefail
[[ $# -eq 4 ]] || { echo "usage: check-setup.sh WINE_RUN PREFIX CPACK BUILD_DIR" >&2; exit 2; }
run=$1 prefix=$2 cpack=$3 work=$4/setup-check
rm -rf "$work" "$prefix" # rm does not follow the prefix's links to the drives
"$cpack" -G NSIS --config "$4/CPackConfig.cmake" -B "$work" >/dev/null
setup=$(echo "$work"/Gimbalo-*-win32-setup.exe)
version=${setup##*/Gimbalo-} version=${version%-win32-setup.exe}

# No menu entries here for the shortcut; Wine's own programs started with no output to
# hold the test's; no notification area of its own (the suite's may be up).
export WINEDLLOVERRIDES="mscoree=;mshtml=;winedbg.exe=d;winemenubuilder.exe=d" WINEPREFIX=$prefix
"$run" "$prefix" cmd /c exit </dev/null >/dev/null 2>&1 && wineserver -w
wineserver -p20 </dev/null >/dev/null 2>&1 && "$run" "$prefix" wineboot </dev/null >/dev/null 2>&1
trap '"$run" "$prefix" --stop' EXIT
win() { "$run" "$prefix" "$@" </dev/null; }

failures=0
fail() { echo "FAIL: $*" >&2 && failures=$((failures + 1)); }
user=$prefix/drive_c/users/$(id -un)
folder=$user/AppData/Local/Programs/Gimbalo
windows_folder="C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Gimbalo"
shortcut="$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Gimbalo.lnk"
roaming=$user/AppData/Roaming/Gimbalo
entry_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Gimbalo'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
expect_files() {
  local got
  got=$(cd "$folder" 2>/dev/null && find . -type f -printf '%P\n' | LC_ALL=C sort || echo none)
  [[ $got == "$(printf '%s\n' "$@")" ]] || fail "expected $1...; the folder holds:"$'\n'"$got"
}
# The uninstaller returns at once; the copy of itself it starts removes the entry last.
uninstall() {
  win "$folder/Uninstall.exe" /S "$@"
  for _ in $(seq 100); do ! win reg query "$entry_key" >/dev/null 2>&1 && break; sleep 0.2; done
  ! win reg query "$entry_key" >/dev/null 2>&1 || fail "the uninstall entry is left"
  [[ ! -e $shortcut ]] || fail "the shortcut is left"
  ! win reg query "$run_key" /v Gimbalo >/dev/null 2>&1 || fail "the start at log-on is left"
}

win "$setup" /S
expect_files Gimbalo.exe Lang/{Deutsch,English,Espanol,Francais,Italiano}.lng \
  "Leggere prima dell'uso.txt" License.txt Uninstall.exe Versioni.txt demo.replay gimbalo-replay.exe
tr -d '\0' <"$shortcut" | grep -qF 'Programs\Gimbalo\Gimbalo.exe' || fail "no shortcut to it"
entry=$(win reg query "$entry_key" | tr -d '\r')
for value in "DisplayName    REG_SZ    Gimbalo" "DisplayVersion    REG_SZ    $version" \
  "Publisher    REG_SZ    The Gimbalo developers" \
  "DisplayIcon    REG_SZ    $windows_folder\\Gimbalo.exe" \
  "UninstallString    REG_SZ    \"$windows_folder\\Uninstall.exe\"" \
  "QuietUninstallString    REG_SZ    \"$windows_folder\\Uninstall.exe\" /S"; do
  grep -qxF "    $value" <<<"$entry" || fail "the uninstall entry lacks '$value':"$'\n'"$entry"
done
size=$(sed -n 's/^ *EstimatedSize *REG_DWORD *\(0x[0-9a-f]*\)$/\1/p' <<<"$entry")
kb=$(du -sk --apparent-size "$folder" | cut -f1)
((${size:-0} * 10 > kb * 9 && ${size:-0} * 10 < kb * 11)) || fail "EstimatedSize ${size:-none}"

# Started where it was installed; Wine traces the message box's text; Enter closes it.
message="No usable joystick or gamepad was found."
WINEDEBUG=trace+msgbox "$run" "$prefix" "$folder/Gimbalo.exe" </dev/null >/dev/null \
  2>"$work/gimbalo.err" & program=$!
for _ in $(seq 150); do grep -qF "$message" "$work/gimbalo.err" && break; sleep 0.2; done
grep -qF "$message" "$work/gimbalo.err" || fail "no message: $(tail -n 3 "$work/gimbalo.err")"
xdotool search --sync --onlyvisible --name '^Gimbalo$' windowfocus --sync key Return
for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.2; done
kill "$program" 2>/dev/null && fail "Gimbalo did not end after its message"
status=0 && wait "$program" || status=$?
[[ $status == 1 ]] || fail "Gimbalo ended with $status, not 1"

# Settings beside it and in the roaming folder, and the start at log-on as
# the options write it: kept, but for the start, by a silent uninstall...
printf '1\r\n2\r\n3\r\n2\r\n1\r\n1\r\n0\r\nItaliano.lng\r\n' >"$folder/Gimbalo.ini"
echo "<html></html>" >"$folder/Invia_Traduzione.html"
mkdir -p "$roaming" && cp "$folder/Gimbalo.ini" "$roaming/"
win reg add "$run_key" /v Gimbalo /d "$windows_folder\\Gimbalo.exe" /f >/dev/null
uninstall
expect_files Gimbalo.ini Invia_Traduzione.html
[[ -f $roaming/Gimbalo.ini ]] || fail "the uninstall deleted the roaming settings"
# ...left as they were by a new install, and deleted when asked.
win "$setup" /S
cmp -s "$folder/Gimbalo.ini" "$roaming/Gimbalo.ini" || fail "installing changed Gimbalo.ini"
uninstall /DELETESETTINGS
expect_files none
[[ ! -e $roaming ]] || fail "/DELETESETTINGS left $roaming"
[[ $failures -eq 0 ]] || { echo "$failures check(s) failed; prefix kept: $prefix" >&2; exit 1; }
"$run" "$prefix" --stop && trap - EXIT && rm -rf "$prefix" "$prefix.lock"
echo "The setup ($(du -k "$setup" | cut -f1) kB) installs, starts Gimbalo and uninstalls cleanly"
