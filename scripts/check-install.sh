#!/usr/bin/env bash
# Installs Brevon's Debian package on a clean Debian 12 as a new user would, with
#   apt-get install ./brevon_<version>_<arch>.deb
# and starts `brevon --version` and the demo (offscreen, with its log) there. The clean system
# is made with debootstrap in a folder and entered with chroot, so it needs root and the Debian
# mirror; it is therefore not part of ./test.
#   scripts/check-install.sh build/release/brevon_1.4.3.0_amd64.deb [folder]
# The folder (default: a new one below /var/tmp) is kept for another run; give the same folder
# again to skip the debootstrap.
set -euo pipefail

deb=$(realpath "${1:?usage: scripts/check-install.sh PACKAGE.deb [folder]}")
root=${2:-$(mktemp -d /var/tmp/brevon-bookworm.XXXXXX)}
mirror=${BREVON_MIRROR:-http://deb.debian.org/debian}
[ "$(id -u)" -eq 0 ] || { echo "check-install.sh needs root (debootstrap, chroot)" >&2; exit 2; }
command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap

if [ ! -x "$root/usr/bin/apt-get" ]; then
  echo "== debootstrap bookworm into $root"
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 \
    || { tail -20 "$root.debootstrap.log"; exit 1; }
fi

mount --bind /proc "$root/proc"
trap 'umount "$root/proc"' EXIT
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

echo "== apt-get install ./$(basename "$deb")"
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --reinstall --no-install-recommends \
  "./tmp/$(basename "$deb")" 2>&1 | tail -n 4

echo "== brevon --version"
in_root brevon --version
echo "== brevon --list-languages"
in_root brevon --list-languages
echo "== brevon-demo --verbose, offscreen, for 5 seconds"
set +e
in_root env QT_QPA_PLATFORM=offscreen timeout 5 brevon-demo --verbose >"$root/tmp/demo.log" 2>&1
code=$?
set -e
grep -E 'brevon\.(link|protocol): (adapter opened|link status|command 0x20)' "$root/tmp/demo.log" \
  | head -n 6
if [ "$code" -ne 124 ]; then
  echo "brevon-demo ended by itself with $code:" >&2
  tail -20 "$root/tmp/demo.log" >&2
  exit 1
fi
grep -q 'link status 2 -> 3' "$root/tmp/demo.log" \
  || { echo "the demo never received from its controller" >&2; exit 1; }
echo "Installed and started on a clean Debian 12 in $root"
