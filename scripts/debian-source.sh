#!/bin/bash
# Unpacks the Debian source package of the version of DEV_PACKAGE installed here into DEST, so that
# what is built from it is what the desktop build links. Adds a deb-src entry for bookworm main
# when apt has none. Run by the build (cmake/Portable.cmake); nothing fetched is kept in the
# repository.
# Usage: debian-source.sh DEV_PACKAGE DEST
set -euo pipefail
package=$1 dest=$2
[ -f "$dest/.unpacked" ] && exit 0

# Two fetches at once would both update apt's lists.
exec 9>/tmp/tidewatch-debian-source.lock
flock 9
# Installed for more than one architecture (a cross build's libraries beside the host's), the
# package is listed once for each; all are the same version, so the first says it.
source=$(dpkg-query -W -f='${source:Package}\n' "$package" | head -n1)
version=$(dpkg-query -W -f='${source:Version}\n' "$package" | head -n1)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
if ! apt-get source --print-uris "$source=$version" >/dev/null 2>&1; then
    $sudo tee /etc/apt/sources.list.d/tidewatch-deb-src.sources >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
fi
download="$dest.download"
rm -rf "$download" "$dest"
mkdir -p "$download"
(cd "$download" && apt-get source -qq "$source=$version" >/dev/null)
mv "$download/$source-${version%%-*}" "$dest"
rm -rf "$download"
touch "$dest/.unpacked"
