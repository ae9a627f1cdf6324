#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks the tree: every file in
# its place and nothing else, the desktop entry, the AppStream metadata and
# the manual pages valid, the icons of the right sizes, and the installed
# program working from there (check-installed-program.sh).
#
# Usage: check-install-tree.sh BUILD_DIR APP_ID VERSION
set -uo pipefail

build=${1:?usage: check-install-tree.sh BUILD_DIR APP_ID VERSION}
app_id=${2:?usage: check-install-tree.sh BUILD_DIR APP_ID VERSION}
version=${3:?usage: check-install-tree.sh BUILD_DIR APP_ID VERSION}
here=$(cd "$(dirname "$0")" && pwd)
source_data=$(cd "$here/../../data" && pwd)

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null || {
  echo "FAIL: cmake --install failed" >&2
  exit 1
}

# ---- every file, and nothing else
sizes=(16 22 24 32 48 64 128 256)
expected=(
  bin/gimbalo
  bin/gimbalo-replay
  libexec/gimbalo/gimbalo-guardian
  "share/applications/$app_id.desktop"
  "share/metainfo/$app_id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$app_id.svg"
  share/man/man1/gimbalo.1
  share/man/man1/gimbalo-replay.1
  share/doc/gimbalo/License.txt
  "share/doc/gimbalo/Leggere prima dell'uso.txt"
  share/doc/gimbalo/Versioni.txt
  share/doc/gimbalo/README.md
  share/doc/gimbalo/copyright
  share/doc/gimbalo/changelog.gz
  share/doc/gimbalo/examples/demo.replay
  lib/udev/rules.d/70-gimbalo-uinput.rules
  lib/modules-load.d/gimbalo.conf
)
for size in "${sizes[@]}"; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
# What the program opens at run time: all of data/, as the build copies it.
while IFS= read -r -d '' file; do
  expected+=("share/gimbalo/${file#"$source_data"/}")
done < <(find "$source_data" -type f -print0)

diff <(printf '%s\n' "${expected[@]}" | LC_ALL=C sort) \
  <(cd "$prefix" && find . -type f -printf '%P\n' | LC_ALL=C sort) >"$prefix.diff" ||
  fail "installed files ('<' missing, '>' not expected):"$'\n'"$(cat "$prefix.diff")"
rm -f "$prefix.diff"
for program in gimbalo gimbalo-replay; do
  [[ -x $prefix/bin/$program ]] || fail "bin/$program is not executable"
done
for file in "$source_data"/Lang/*.lng; do
  cmp -s "$file" "$prefix/share/gimbalo/Lang/${file##*/}" ||
    fail "share/gimbalo/Lang/${file##*/} differs from data/Lang"
done

# ---- the icons: PNG files of their own size (width and height sit at
# bytes 16 to 23 of the header)
for size in "${sizes[@]}"; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
  [[ -f $icon ]] || continue
  read -r -a header < <(od -An -tu1 -N24 "$icon" | tr -s ' \n' ' ')
  width=$(((header[18] << 8) | header[19]))
  height=$(((header[22] << 8) | header[23]))
  [[ ${header[1]} == 80 && ${header[2]} == 78 && ${header[3]} == 71 ]] ||
    fail "$icon is not a PNG file"
  [[ $width == "$size" && $height == "$size" ]] ||
    fail "the ${size}x${size} icon is ${width}x${height}"
done

# ---- the desktop entry and the metadata
desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate refused $app_id.desktop"
appstreamcli validate --no-net "$metainfo" >"$prefix.out" 2>&1 ||
  fail "appstreamcli refused $app_id.metainfo.xml: $(cat "$prefix.out")"
rm -f "$prefix.out"
field() { sed -n "s/^$1=//p" "$desktop"; }
[[ $(field Icon) == "$app_id" ]] || fail "the desktop entry's Icon is '$(field Icon)'"
[[ $(field Exec) == gimbalo ]] || fail "the desktop entry's Exec is '$(field Exec)'"
[[ $(field StartupNotify) == false ]] || fail "the desktop entry's StartupNotify is not false"
[[ $(field Categories) == "Utility;Accessibility;" ]] ||
  fail "the desktop entry's Categories are '$(field Categories)'"
for key in Name GenericName Comment Keywords; do
  [[ -n $(field "$key") ]] || fail "the desktop entry has no $key"
done
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metadata does not launch $app_id.desktop"
grep -q "<release version=\"$version\"" "$metainfo" ||
  fail "the metadata has no release $version"

# ---- the manual pages render without a warning
for page in gimbalo gimbalo-replay; do
  file=$prefix/share/man/man1/$page.1
  [[ -f $file ]] || continue
  rendered=$(MANWIDTH=80 man --warnings -l "$file" 2>"$prefix.err")
  [[ ! -s $prefix.err ]] || fail "man -l $page.1 warns: $(cat "$prefix.err")"
  [[ $rendered == *"$version"* && $rendered == *OPTIONS* ]] ||
    fail "man -l $page.1 rendered no page with the version and its options"
  rm -f "$prefix.err"
done

# ---- the installed program, run from the temporary prefix
"$here/check-installed-program.sh" "$prefix" "$app_id" "$version" ||
  failures=$((failures + 1))

if ((failures > 0)); then
  echo "check-install-tree.sh: $failures check(s) failed" >&2
  exit 1
fi
echo "check-install-tree.sh: the installed tree is complete and valid"
