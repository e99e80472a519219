#!/bin/sh
# Installs the build into a temporary DESTDIR as a package would (prefix /usr), checks every
# file is where the desktop looks for it, then starts the installed program as `nobody`, who
# cannot write beside it: its files go to $XDG_CONFIG_HOME/tolvane, unless kestra.ini is
# there already (a copy carried over) or --dir names a folder.
# Usage: install_test.sh BUILD_FOLDER VERSION
set -eu
build=$1
version=$2
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
for file in bin/tolvane share/tolvane/tolvanetimetest.txt \
            share/applications/org.tolvane.Tolvane.desktop \
            share/metainfo/org.tolvane.Tolvane.metainfo.xml \
            share/icons/hicolor/scalable/apps/tolvane.svg share/doc/tolvane/LICENSE; do
  [ -f "$dest/usr/$file" ] || fail "missing /usr/$file"
done
for size in 16 24 32 48 64 128 256; do
  [ -f "$dest/usr/share/icons/hicolor/${size}x$size/apps/tolvane.png" ] || fail "no ${size}px icon"
done
[ -x "$dest/usr/bin/tolvane" ] || fail "not executable"
[ "$("$dest/usr/bin/tolvane" --version)" = "tolvane $version" ] || fail "--version"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$dest/usr/share/applications/org.tolvane.Tolvane.desktop"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$dest/usr/share/metainfo/org.tolvane.Tolvane.metainfo.xml" \
    >/dev/null || fail "metainfo"
fi

# The rest needs a user who cannot write into the installed folders.
if [ "$(id -u)" != 0 ] || ! id nobody >/dev/null 2>&1 || ! command -v setpriv >/dev/null; then
  echo "installed files checked; the folder choice needs root and the user nobody" >&2
  exit 77
fi
chmod 755 "$dest"
as_nobody() {
  setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups \
    env -i PATH=/usr/bin:/bin HOME=/nonexistent XDG_CONFIG_HOME="$dest/config" "$@"
}
mkdir "$dest/config"
chown nobody "$dest/config"

as_nobody "$dest/usr/bin/tolvane" --lists >/dev/null || fail "--lists as nobody"
[ "$(stat -c %a "$dest/config/tolvane")" = 700 ] || fail "config folder not made 0700"
mkdir "$dest/config/tolvane/list"
: >"$dest/config/tolvane/list/xdg.ini"
chown -R nobody "$dest/config/tolvane"
[ "$(as_nobody "$dest/usr/bin/tolvane" --lists)" = xdg ] || fail "lists not from XDG folder"

# A copy whose folder holds kestra.ini keeps using it, though it may not write there.
mkdir -p "$dest/portable/list"
cp "$dest/usr/bin/tolvane" "$dest/portable/"
: >"$dest/portable/kestra.ini"
: >"$dest/portable/list/beside.ini"
chmod -R a+rX "$dest/portable"
[ "$(as_nobody "$dest/portable/tolvane" --lists)" = beside ] || fail "portable copy"

# --dir names the folder, made for its owner when missing.
[ -z "$(as_nobody "$dest/usr/bin/tolvane" --dir "$dest/config/other" --lists)" ] ||
  fail "--dir lists"
[ "$(stat -c %a "$dest/config/other")" = 700 ] || fail "--dir folder not made"
[ "$(as_nobody "$dest/usr/bin/tolvane" --dir "$dest/portable" --lists)" = beside ] ||
  fail "--dir on the portable folder"
echo "install test passed"
