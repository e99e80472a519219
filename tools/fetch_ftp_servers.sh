#!/bin/sh
# Unpacks Debian's vsftpd, ProFTPD and Pure-FTPd into BUILD_DIR/ftp-servers/ for the tests
# that run the client against them. Installing the packages would start system services on
# port 21 that conflict with one another; the tests start each binary themselves instead.
# Their shared libraries come from the Makefile's PACKAGES.
set -eu
if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
dest="$1/ftp-servers"
debs="$dest/debs"
mkdir -p "$debs"

# package name, then the binary it provides
for pair in vsftpd:usr/sbin/vsftpd proftpd-core:usr/sbin/proftpd pure-ftpd:usr/sbin/pure-ftpd; do
  pkg=${pair%%:*}
  bin=${pair#*:}
  [ -x "$dest/$bin" ] && continue
  if ! ls "$debs/${pkg}"_*.deb >/dev/null 2>&1; then
    # Run as root into a folder _apt cannot read, apt warns that the download is unsandboxed;
    # that is harmless here.
    if ! (cd "$debs" && apt-get download "$pkg"); then
      if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
      $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
      (cd "$debs" && apt-get download "$pkg")
    fi
  fi
  dpkg-deb -x "$debs/${pkg}"_*.deb "$dest"
done

for bin in usr/sbin/vsftpd usr/sbin/proftpd usr/sbin/pure-ftpd; do
  if ldd "$dest/$bin" | grep -q 'not found'; then
    echo "$dest/$bin lacks libraries (run make deps):" >&2
    ldd "$dest/$bin" | grep 'not found' >&2
    exit 1
  fi
done
