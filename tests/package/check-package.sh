#!/usr/bin/env bash
# Makes the Debian package of the build folder $1 with CPack and checks it as a user and
# Debian's tools would: the files it holds, its control fields, its maintainer scripts, what
# desktop-file-validate, appstreamcli and lintian say of it, and the programs unpacked from it
# finding their catalogs in the installed layout.
set -uo pipefail

build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# expect NAME ACTUAL EXPECTED
expect() {
  [ "$2" == "$3" ] || fail "$1: got '$2', expected '$3'"
}

# contains NAME TEXT PART
contains() {
  [[ "$2" == *"$3"* ]] || fail "$1: '$3' missing from: $2"
}

echo "== Making the package"
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; fail "cpack"; exit 1; }
version=$(sed -n 's/^CPACK_PACKAGE_VERSION:STRING=//p;s/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' \
  "$build/CPackConfig.cmake" | head -n 1)
arch=$(dpkg --print-architecture)
deb="$work/out/brevon_${version}_${arch}.deb"
[ -f "$deb" ] || { ls "$work/out"; fail "no $(basename "$deb")"; exit 1; }
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

echo "== Control fields"
field() { dpkg-deb -f "$deb" "$1"; }
expect Package "$(field Package)" brevon
expect Version "$(field Version)" "$version"
expect Architecture "$(field Architecture)" "$arch"
depends=$(field Depends)
echo "Depends: $depends"
# Filled by dpkg-shlibdeps from what the programs are linked with, with versions.
for library in 'libc6 (>=' 'libqt6widgets6 (>=' 'libqt6core6 (>=' 'libusb-1.0-0 (>=' \
  'libqcustomplot2.1-qt6 (>=' 'libstdc++6 (>=' libqt6svg6 fonts-liberation2; do
  contains Depends "$depends" "$library"
done
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"

echo "== Files"
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' | sort >"$work/files"
for path in \
  /usr/bin/brevon /usr/bin/brevon-demo /usr/bin/brevonctl \
  /usr/share/brevon/locale/languagecodes.mo \
  /usr/share/brevon/locale/en/LC_MESSAGES/default.mo \
  /usr/share/brevon/locale/es/LC_MESSAGES/default.mo \
  /usr/lib/udev/rules.d/60-korvel-connect.rules \
  /usr/share/applications/brevon.desktop \
  /usr/share/icons/hicolor/scalable/apps/brevon.svg \
  /usr/share/icons/hicolor/128x128/apps/brevon.png \
  /usr/share/doc/brevon/copyright /usr/share/doc/brevon/changelog.gz; do
  grep -qx "$path" "$work/files" || fail "missing $path"
done
grep -q '^/usr/share/metainfo/.*\.metainfo\.xml$' "$work/files" || fail "no AppStream metainfo"
# Every program has its manual page.
while read -r program; do
  grep -qx "/usr/share/man/man1/$(basename "$program").1.gz" "$work/files" \
    || fail "no manual page for $program"
done < <(grep '^/usr/bin/.' "$work/files")
outside=$(grep -v -e '^/usr/' -e '^/$' "$work/files")
[ -z "$outside" ] || fail "files outside /usr: $outside"

dpkg-deb -x "$deb" "$work/root"
dpkg-deb -e "$deb" "$work/control"
expect "icon size" "$(file -b "$work/root/usr/share/icons/hicolor/128x128/apps/brevon.png" \
  | grep -o '128 x 128')" "128 x 128"

echo "== desktop-file-validate"
desktop-file-validate "$work/root/usr/share/applications/brevon.desktop" \
  || fail "desktop-file-validate"
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml \
  || fail "appstreamcli validate"
echo "== lintian"
lintian --pedantic --display-info "$deb" 2>&1 | grep -v '^running with root privileges' \
  | tee "$work/lintian.log"
if grep -q '^E:' "$work/lintian.log"; then fail "lintian reports errors"; fi

echo "== The installed programs"
bin="$work/root/usr/bin"
# As on an installed system, where the C library's program `locale` stands beside them.
touch "$bin/locale"
for program in brevon brevon-demo; do
  expect "$program --version" "$("$bin/$program" --version)" "$program $version"
  languages=$("$bin/$program" --list-languages)
  expect "$program --list-languages" "$languages" $'en\tEnglish\nes\tEspañol'
  "$bin/$program" --no-such-option >/dev/null 2>&1
  expect "$program with an unknown option: exit code" "$?" 2
done
"$bin/brevonctl" --no-such-option >/dev/null 2>&1
expect "brevonctl with an unknown option: exit code" "$?" 2
contains "Spanish help" "$(LANGUAGE=es "$bin/brevon" --help)" "Uso: brevon [opciones]"

echo "== Maintainer scripts"
# A stand-in udevadm on PATH records its calls; it answers the ping as $UDEV_ANSWERS says.
mkdir -p "$work/fakebin"
cat >"$work/fakebin/udevadm" <<'FAKE'
#!/bin/sh
echo "$*" >>"$UDEVADM_CALLS"
case "$*" in *--ping*) [ "$UDEV_ANSWERS" = yes ] ;; esac
FAKE
chmod +x "$work/fakebin/udevadm"
# run_script SCRIPT ARGUMENT ANSWERS: the script's output, then its calls of udevadm.
run_script() {
  : >"$work/calls"
  local output
  output=$(PATH="$work/fakebin:$PATH" UDEVADM_CALLS="$work/calls" UDEV_ANSWERS=$3 \
    sh "$work/control/$1" "$2" 2>&1)
  local code=$?
  printf '%s|%s|%s' "$code" "$output" "$(tr '\n' ';' <"$work/calls")"
}
ping='control --timeout=5 --ping'
expect "postinst in a container" "$(run_script postinst configure no)" "0||$ping;"
expect "postinst where udev runs" "$(run_script postinst configure yes)" \
  "0||$ping;control --reload-rules;trigger --subsystem-match=usb --attr-match=idVendor=ffff --attr-match=idProduct=0033;trigger --subsystem-match=usb --attr-match=idVendor=ffff --attr-match=idProduct=0010;"
expect "postrm remove in a container" "$(run_script postrm remove no)" "0||$ping;"
expect "postrm remove where udev runs" "$(run_script postrm remove yes)" \
  "0||$ping;control --reload-rules;"
expect "postrm upgrade" "$(run_script postrm upgrade yes)" "0||"
# Without udevadm at all (a minimal chroot): quiet success.
expect "postinst without udevadm" \
  "$(PATH=/nonexistent /bin/sh "$work/control/postinst" configure 2>&1; echo "|$?")" "|0"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "The package passed every check"
