#!/usr/bin/env bash
# Builds the Debian package (CPack) from build/ and tries it as a user of a
# fresh Debian 12 machine would: checks the desktop entry and the AppStream
# metadata, installs the package with apt-get (which brings the libraries it
# declares), runs the installed program, grabs the demo site with it without
# windows, and removes the package again.
#   scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh
need_packages dpkg-dev desktop-file-utils appstream
bash scripts/setup.sh gleanery gleanery-windows gleanery-demo-server blank_store help_pages

desktop-file-validate dist/org.gleanery.Gleanery.desktop
appstreamcli validate --no-net dist/org.gleanery.Gleanery.metainfo.xml
rm -f build/gleanery_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/gleanery_*.deb)
echo "Package: $deb"
dpkg-deb --field "$deb" Depends

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
server_pid=""
work=$(mktemp -d)
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq gleanery >/dev/null 2>&1 || true
}
trap cleanup EXIT
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "./$deb" >/dev/null
/usr/bin/gleanery --version

coproc SERVER { exec build/bin/gleanery-demo-server demo/site 0; }
server_pid=$SERVER_PID
read -r url <&"${SERVER[0]}"
(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work" /usr/bin/gleanery grab "$url" mirror)
stored=$(find "$work/mirror" -type f -path '*127.0.0.1*' | wc -l)
echo "The installed program grabbed $stored files of the demo site."
[ "$stored" -gt 0 ]
