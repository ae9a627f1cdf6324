#!/usr/bin/env bash
# Makes the Debian package from a build, has lintian check it, installs it
# with apt-get, runs the installed /usr/bin/gimbalo (under a private X server,
# with no joystick and Italian settings: it must say so in Italian from the
# installed files), checks the access to /dev/uinput it gives, then purges it
# and checks that nothing of it is left under /usr.
# Needs root (through sudo when not root). Usage: scripts/check-deb.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

# Runs a command as root: directly when root, else through sudo.
as_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

if dpkg-query -W -f='${Status}' gimbalo 2>/dev/null | grep -q 'install ok installed'; then
  echo "scripts/check-deb.sh: a gimbalo package is installed already; remove it first" >&2
  exit 1
fi

rm -f "$build"/gimbalo_*.deb
cmake --build "$build" --target package -j2 >/dev/null
debs=("$build"/gimbalo_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || {
  echo "scripts/check-deb.sh: expected one gimbalo_*.deb in $build" >&2
  exit 1
}
deb=$(realpath "${debs[0]}")
echo "Package: $deb"

# The control fields a package manager shows.
for field in Package Version Architecture Maintainer Section Priority Homepage Depends \
  Description; do
  [[ -n $(dpkg-deb --field "$deb" "$field") ]] || {
    echo "scripts/check-deb.sh: the package has no $field field" >&2
    exit 1
  }
done
dpkg-deb --field "$deb" Depends | grep -q libqt6widgets6 || {
  echo "scripts/check-deb.sh: the dependencies do not come from the binaries" >&2
  exit 1
}
# The virtual pointer's library, and Qt's Wayland plugin for the windows.
dpkg-deb --field "$deb" Depends | grep -q libevdev2 &&
  dpkg-deb --field "$deb" Recommends | grep -q qt6-wayland || {
  echo "scripts/check-deb.sh: the package lacks libevdev2 or does not recommend qt6-wayland" >&2
  exit 1
}

# Debian's own checks: an error fails, warnings are shown.
lintian --fail-on error "$deb" || {
  echo "scripts/check-deb.sh: lintian finds errors in the package" >&2
  exit 1
}

app_id=$(dpkg-deb --contents "$deb" | sed -n 's|.*/usr/share/applications/\(.*\)\.desktop$|\1|p')
version=$(dpkg-deb --field "$deb" Version)

# Recommends (the desktop's opener) are left out to keep the run short.
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
  -o DPkg::Lock::Timeout=600 "$deb" >/dev/null
installed=$(dpkg -L gimbalo)

status=0
xvfb-run -a -s "-screen 0 1280x800x24 -noreset" \
  packaging/linux/check-installed-program.sh /usr "$app_id" "$version" || status=1
/usr/bin/gimbalo --version || status=1
# Access to /dev/uinput for the user at the seat, and the module at boot
# (the purge's check below sees both go).
rule='KERNEL=="uinput", SUBSYSTEM=="misc", TAG+="uaccess", OPTIONS+="static_node=uinput"'
grep -qxF "$rule" /usr/lib/udev/rules.d/70-gimbalo-uinput.rules &&
  grep -qx uinput /usr/lib/modules-load.d/gimbalo.conf ||
  { echo "scripts/check-deb.sh: no uinput access rule or modules-load.d entry" >&2; status=1; }

as_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q \
  -o DPkg::Lock::Timeout=600 gimbalo >/dev/null

# Every file of the package is gone, and so is every folder of its own.
while IFS= read -r path; do
  if [[ -e $path || -L $path ]] && { [[ ! -d $path ]] || [[ $path == *gimbalo* ]]; }; then
    echo "scripts/check-deb.sh: left behind after the purge: $path" >&2
    status=1
  fi
done <<<"$installed"
left=$(find /usr -iname '*gimbalo*' 2>/dev/null || true)
if [[ -n $left ]]; then
  echo "scripts/check-deb.sh: left under /usr after the purge:"$'\n'"$left" >&2
  status=1
fi

if [[ $status -eq 0 ]]; then
  echo "scripts/check-deb.sh: the package installs, runs and purges cleanly"
fi
exit $status
