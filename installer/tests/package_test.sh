#!/usr/bin/env bash
# Builds both Debian packages from the build tree, installs them with dpkg and
# preseeded answers to the station's questions, checks their files, menu
# entries, the station's service, settings, owners and modes, and programs,
# removes them and checks that none of their files stayed, then purges the
# station's settings. Cleans up even when it fails.
# Usage: package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
skip=77

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: the package test installs with dpkg and must run as root"
  exit $skip
fi
for tool in cpack dpkg desktop-file-validate debconf-set-selections lintian systemd-analyze; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit $skip; }
done
for package in brisko tamblo; do
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok'; then
    echo "SKIP: $package is already installed on this machine; the test leaves it alone"
    exit $skip
  fi
done

kiosk=tkioskpkg
had_service_account=no
getent passwd tamblo >/dev/null && had_service_account=yes
work=$(mktemp -d)
cleanup() {
  dpkg --purge brisko tamblo >/dev/null 2>&1 || true
  getent passwd "$kiosk" >/dev/null && userdel -r "$kiosk" >/dev/null 2>&1
  [ "$had_service_account" = yes ] || { getent passwd tamblo >/dev/null && userdel tamblo >/dev/null 2>&1; }
  echo PURGE | debconf-communicate tamblo >/dev/null 2>&1 || true
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

lintian --fail-on warning "$brisko_deb" "$tamblo_deb" >"$work/lintian.log" 2>&1 \
  || { cat "$work/lintian.log"; fail "lintian found faults"; }

# The owner's answers, as a scripted installation gives them.
debconf-set-selections <<ANSWERS
tamblo tamblo/console-address string 10.20.30.40
tamblo tamblo/console-port string 32100
tamblo tamblo/setup-code password Owner-Code-42
tamblo tamblo/kiosk-user string $kiosk
tamblo tamblo/clean-between-customers boolean true
ANSWERS
DEBIAN_FRONTEND=noninteractive dpkg -i "$brisko_deb" "$tamblo_deb" >"$work/dpkg.log" 2>&1 \
  || { cat "$work/dpkg.log"; fail "dpkg -i"; }
dpkg -L brisko tamblo | sort -u >"$work/files"

for path in /usr/bin/brisko /usr/bin/brisko-admin /usr/bin/brisko-installer /usr/bin/tamblo /usr/sbin/tamblo-setup \
            /usr/libexec/tamblo/tamblo /usr/libexec/tamblo/tamblo-supervisor /usr/libexec/tamblo/libHushtab.so \
            /usr/share/applications/brisko.desktop /usr/share/applications/brisko-installer.desktop \
            /usr/share/icons/hicolor/scalable/apps/brisko.svg /usr/share/icons/hicolor/48x48/apps/brisko.png \
            /usr/share/icons/hicolor/scalable/apps/tamblo.svg /usr/share/icons/hicolor/48x48/apps/tamblo.png \
            /usr/share/man/man1/brisko.1.gz /usr/share/man/man1/tamblo.1.gz /usr/share/man/man8/tamblo-setup.8.gz \
            /usr/share/doc/brisko/copyright /usr/share/doc/tamblo/copyright \
            /usr/share/doc/brisko/README.md.gz /usr/share/doc/brisko/owner-guide.md.gz \
            /usr/share/doc/tamblo/README.md.gz /usr/share/doc/brisko/examples/cafe/BriskoConfig; do
  [ -e "$path" ] || fail "$path is not installed"
done

# Menu entries: valid, their programs on the PATH, their icons installed.
[ ! -e /usr/share/applications/tamblo.desktop ] || fail "tamblo has a menu entry: a second, unsupervised lock"
for entry in /usr/share/applications/brisko.desktop /usr/share/applications/brisko-installer.desktop; do
  desktop-file-validate "$entry" || fail "$entry is not a valid desktop file"
  program=$(sed -n 's/^Exec=//p' "$entry")
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ "$(command -v "$program")" = "/usr/bin/$program" ] || fail "$entry runs $program, which is not /usr/bin/$program"
  [ -f "/usr/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "$entry shows icon $icon, which is not installed"
done

# The station's lock is a system service, not an entry every user's desktop starts.
[ ! -e /etc/xdg/autostart/Tamblo.desktop ] || fail "tamblo still has an autostart entry"
unit=/lib/systemd/system/tamblo.service
[ -f "$unit" ] || fail "no $unit"
systemd-analyze verify --man=no "$unit" >"$work/verify.log" 2>&1 || { cat "$work/verify.log"; fail "systemd-analyze verify $unit"; }
grep -q '^ExecStart=/usr/libexec/tamblo/tamblo-supervisor --run-as tamblo ' "$unit" || fail "$unit does not run the supervisor as the service"
[ -L /etc/systemd/system/graphical.target.wants/tamblo.service ] || fail "the service is not enabled"

# The answers are kept where the station reads them, out of the customers' reach.
owner_mode() { stat -c '%U:%G %a' "$1"; }
# The supervisor runs as root with the options of /etc/default/tamblo: root's file.
[ "$(owner_mode /etc/default/tamblo)" = "root:root 644" ] || fail "/etc/default/tamblo is $(owner_mode /etc/default/tamblo)"
[ ! -e /etc/tamblo/tamblo.conf ] || fail "the settings are still in the service account's folder"
[ "$(owner_mode /etc/tamblo)" = "tamblo:tamblo 755" ] || fail "/etc/tamblo is $(owner_mode /etc/tamblo)"
[ "$(owner_mode /var/lib/tamblo)" = "tamblo:tamblo 750" ] || fail "/var/lib/tamblo is $(owner_mode /var/lib/tamblo)"
[ "$(owner_mode /var/log/tamblo)" = "tamblo:tamblo 750" ] || fail "/var/log/tamblo is $(owner_mode /var/log/tamblo)"
[ "$(owner_mode /etc/tamblo/TambloSetup)" = "tamblo:tamblo 600" ] || fail "TambloSetup is $(owner_mode /etc/tamblo/TambloSetup)"
[ "$(owner_mode /etc/tamblo/TambloConfig)" = "tamblo:tamblo 644" ] || fail "TambloConfig is $(owner_mode /etc/tamblo/TambloConfig)"
shown=$(tamblo-setup --show)
echo "$shown" | grep -qx 'Console address: 10.20.30.40' || fail "tamblo-setup --show: $shown"
echo "$shown" | grep -qx 'Setup code: set' || fail "tamblo-setup --show: $shown"
grep -qx 'TAMBLO_PORT=32100' /etc/default/tamblo || fail "the port is not in /etc/default/tamblo"
grep -qx "TAMBLO_KIOSK_OPTIONS=\"--kiosk-user $kiosk --kiosk-template /etc/tamblo/kiosk-home\"" /etc/default/tamblo \
  || fail "the customers' account is not in /etc/default/tamblo"
getent passwd "$kiosk" >/dev/null || fail "the customers' account $kiosk was not made"
[ -d /etc/tamblo/kiosk-home ] || fail "no template of the customers' home"
# The setup code itself is not left in debconf's database.
if debconf-show tamblo 2>/dev/null | grep -q 'Owner-Code-42'; then fail "the setup code stayed in debconf"; fi

# The answers survive a reinstallation; a second installation asks nothing new.
DEBIAN_FRONTEND=noninteractive dpkg -i "$tamblo_deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i again"; }
tamblo-setup --show | grep -qx 'Setup code: set' || fail "the setup code was lost on reinstallation"
grep -qx 'TAMBLO_PORT=32100' /etc/default/tamblo || fail "the port was lost on reinstallation"

# dpkg-reconfigure starts from what the station has, the owner's own edits included.
sed -i -e 's/^TAMBLO_PORT=.*/TAMBLO_PORT=32200/' -e "s|^TAMBLO_KIOSK_OPTIONS=.*|TAMBLO_KIOSK_OPTIONS=\"--kiosk-user $kiosk\"|" \
  /etc/default/tamblo
DEBIAN_FRONTEND=noninteractive dpkg-reconfigure tamblo >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg-reconfigure"; }
grep -qx 'TAMBLO_PORT=32200' /etc/default/tamblo || fail "dpkg-reconfigure lost the owner's port"
grep -qx "TAMBLO_KIOSK_OPTIONS=\"--kiosk-user $kiosk\"" /etc/default/tamblo || fail "dpkg-reconfigure turned cleaning back on"
tamblo-setup --show | grep -qx 'Console address: 10.20.30.40' || fail "dpkg-reconfigure changed the console's address"
tamblo-setup --show | grep -qx 'Setup code: set' || fail "dpkg-reconfigure lost the setup code"

# tamblo loads its task-key library from the folder of the real program.
[ -f "$(dirname "$(readlink -f /usr/bin/tamblo)")/libHushtab.so" ] || fail "libHushtab.so is not beside tamblo"

# The example cafe is whole, as brisko-admin checks it.
brisko-admin --dir /usr/share/doc/brisko/examples/cafe check || fail "the example cafe is damaged"
zcat /usr/share/doc/brisko/changelog.gz | grep -q "^ -- .*<.*@.*>  [A-Z][a-z][a-z], " || fail "the changelog has no maintainer line"

# The programs run from their installed paths.
# Each answers --help and --version under its own name, without a display.
for path in /usr/bin/brisko /usr/bin/tamblo /usr/bin/brisko-admin /usr/bin/brisko-installer /usr/sbin/tamblo-setup \
            /usr/libexec/tamblo/tamblo-supervisor; do
  name=$(basename "$path")
  out=$(env -u DISPLAY "$path" --version) || fail "$path --version failed"
  [ "$out" = "$name $version" ] || fail "$path --version printed '$out'"
  out=$(env -u DISPLAY "$path" --help | head -1) || fail "$path --help failed"
  echo "$out" | grep -qi "^usage: $name " || fail "$path --help begins '$out'"
done

dpkg -r brisko tamblo >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -r"; }
for package in brisko tamblo; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  # tamblo keeps the owner's settings until it is purged.
  [ -z "$status" ] || [ "$status" = "not-installed" ] || { [ "$package" = tamblo ] && [ "$status" = config-files ]; } \
    || fail "$package is left as '$status' after dpkg -r"
done
left=0
while read -r path; do
  [ -d "$path" ] && continue # shared folders such as /usr/bin (and /lib, a link on merged systems) stay
  if [ -e "$path" ] || [ -L "$path" ]; then
    echo "left behind: $path"
    left=1
  fi
done <"$work/files"
for folder in /usr/libexec/tamblo /usr/share/tamblo /usr/share/doc/brisko /usr/share/doc/tamblo; do
  [ ! -e "$folder" ] || { echo "left behind: $folder"; left=1; }
done
[ $left -eq 0 ] || fail "files stayed after dpkg -r"
# Removal keeps the owner's settings; purge takes them.
[ -f /etc/tamblo/TambloSetup ] || fail "dpkg -r took the owner's setup code"
dpkg --purge tamblo >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg --purge"; }
for path in /etc/tamblo /var/lib/tamblo /var/log/tamblo /etc/default/tamblo; do
  [ ! -e "$path" ] || fail "$path stayed after dpkg --purge"
done
echo "PASS: both packages install with preseeded answers, run, start from the menu and the service, remove and purge cleanly"
