#!/bin/sh
# Installs the package `make package` built with apt, as on a fresh machine, starts the
# installed program from /usr/bin and removes the package again. Needs root (or sudo).
# Not part of `make test`: it changes the machine. Usage: tools/test_deb_install.sh [BUILD]
set -eu
build=${1:-build}
deb=$(ls "$build"/tolvane_*.deb | tail -n 1)
case $deb in /*) ;; *) deb=./$deb ;; esac
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi

echo "== dpkg-deb --info $deb"
dpkg-deb --info "$deb"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb"
echo "== installed files"
dpkg -L tolvane
echo "== /usr/bin/tolvane --version"
/usr/bin/tolvane --version
# Installed, it keeps its files in the configuration folder, never in /usr/bin (even as root).
home=$(mktemp -d)
env -u XDG_CONFIG_HOME HOME="$home" /usr/bin/tolvane --lists
[ -d "$home/.config/tolvane" ] && [ ! -e /usr/bin/kestra.ini ] || {
  echo "FAIL: no $home/.config/tolvane" >&2
  exit 1
}
echo "program folder: $home/.config/tolvane ($(stat -c %a "$home/.config/tolvane"))"
rm -rf "$home"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get remove -y tolvane
if [ -e /usr/bin/tolvane ]; then
  echo "FAIL: /usr/bin/tolvane is still there" >&2
  exit 1
fi
echo "installed, ran and removed"
