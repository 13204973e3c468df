#!/usr/bin/env bash
# Builds both Debian packages from the build tree, installs them with dpkg,
# checks their files, menu entries, autostart entry and programs, removes them
# and checks that none of their files stayed. Cleans up even when it fails.
# Usage: package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
skip=77

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: the package test installs with dpkg and must run as root"
  exit $skip
fi
for tool in cpack dpkg desktop-file-validate; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit $skip; }
done
for package in brisko tamblo; do
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok'; then
    echo "SKIP: $package is already installed on this machine; the test leaves it alone"
    exit $skip
  fi
done

work=$(mktemp -d)
cleanup() {
  dpkg --purge brisko tamblo >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
brisko_deb="$work/brisko_${version}_$(dpkg --print-architecture).deb"
tamblo_deb="$work/tamblo_${version}_$(dpkg --print-architecture).deb"
[ -f "$brisko_deb" ] && [ -f "$tamblo_deb" ] || fail "cpack made no brisko and tamblo packages"
for deb in "$brisko_deb" "$tamblo_deb"; do
  dpkg-deb -f "$deb" Depends | grep -q 'libc6' || fail "$deb declares no library dependencies"
done

dpkg -i "$brisko_deb" "$tamblo_deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i"; }
dpkg -L brisko tamblo | sort -u >"$work/files"

for path in /usr/bin/brisko /usr/bin/brisko-admin /usr/bin/brisko-installer /usr/bin/tamblo \
            /usr/libexec/tamblo/tamblo /usr/libexec/tamblo/tamblo-supervisor /usr/libexec/tamblo/libHushtab.so \
            /usr/share/applications/brisko.desktop \
            /usr/share/icons/hicolor/scalable/apps/brisko.svg /usr/share/icons/hicolor/48x48/apps/brisko.png \
            /usr/share/icons/hicolor/scalable/apps/tamblo.svg /usr/share/icons/hicolor/48x48/apps/tamblo.png \
            /usr/share/man/man1/brisko.1.gz /usr/share/man/man1/tamblo.1.gz \
            /usr/share/doc/brisko/copyright /usr/share/doc/tamblo/copyright; do
  [ -e "$path" ] || fail "$path is not installed"
done

# Menu entries: valid, their programs on the PATH, their icons installed.
[ ! -e /usr/share/applications/tamblo.desktop ] || fail "tamblo has a menu entry: a second, unsupervised lock"
for entry in /usr/share/applications/brisko.desktop; do
  desktop-file-validate "$entry" || fail "$entry is not a valid desktop file"
  program=$(sed -n 's/^Exec=//p' "$entry")
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ "$(command -v "$program")" = "/usr/bin/$program" ] || fail "$entry runs $program, which is not /usr/bin/$program"
  [ -f "/usr/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "$entry shows icon $icon, which is not installed"
done

# The autostart entry starts the installed supervisor by its full path; it runs the tamblo beside it.
autostart=/etc/xdg/autostart/Tamblo.desktop
[ -e "$autostart" ] || fail "no autostart entry $autostart"
desktop-file-validate "$autostart" || fail "$autostart is not a valid desktop file"
grep -qx 'Exec=/usr/libexec/tamblo/tamblo-supervisor' "$autostart" || fail "$autostart does not run tamblo-supervisor"
# tamblo loads its task-key library from the folder of the real program.
[ -f "$(dirname "$(readlink -f /usr/bin/tamblo)")/libHushtab.so" ] || fail "libHushtab.so is not beside tamblo"

# The programs run from their installed paths.
for program in brisko tamblo brisko-admin brisko-installer; do
  out=$(env -u DISPLAY "/usr/bin/$program" --version) || fail "/usr/bin/$program --version failed"
  name=$program
  [ "$program" = brisko-installer ] && name=installer
  [ "$out" = "$name $version" ] || fail "/usr/bin/$program --version printed '$out'"
done

dpkg -r brisko tamblo >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -r"; }
for package in brisko tamblo; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [ -z "$status" ] || [ "$status" = "not-installed" ] || fail "$package is left as '$status' after dpkg -r"
done
left=0
while read -r path; do
  [ -d "$path" ] && [ ! -L "$path" ] && continue # shared folders such as /usr/bin stay
  if [ -e "$path" ] || [ -L "$path" ]; then
    echo "left behind: $path"
    left=1
  fi
done <"$work/files"
for folder in /usr/libexec/tamblo /usr/share/tamblo /usr/share/doc/brisko /usr/share/doc/tamblo; do
  [ ! -e "$folder" ] || { echo "left behind: $folder"; left=1; }
done
[ $left -eq 0 ] || fail "files stayed after dpkg -r"
echo "PASS: both packages install, run, start from the menu and remove cleanly"
