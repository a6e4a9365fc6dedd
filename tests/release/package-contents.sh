#!/bin/bash
# The Debian package's control fields, its files, lintian's verdict (no errors, no warnings), the
# menu entry and AppStream metadata as their validators see them, and a Depends line naming
# exactly the packages that own the libraries the executables link.
# Usage: package-contents.sh DEB VERSION ARCH (amd64 or arm64)
set -euo pipefail
source "$(dirname "$0")/common.sh"
deb=$1 version=$2 arch=$3
use_machine "$arch"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

field() { dpkg-deb -f "$deb" "$1"; }
expect_equal fields "tidewatch $version $arch graphics ffmpeg" \
    "$(field Package) $(field Version) $(field Architecture) $(field Section) $(field Recommends)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer is not 'Name <address>'"
[ "$(field Description | wc -l)" -ge 2 ] || fail "Description has no long text"

files=$(dpkg-deb -c "$deb" | awk '$1 ~ /^-/ {print $6}' | sort)
expected=$(printf './usr/%s\n' bin/tidewatch bin/tidewatch-record share/applications/tidewatch.desktop \
    share/doc/tidewatch/changelog.gz share/doc/tidewatch/copyright \
    share/icons/hicolor/128x128/apps/tidewatch.png share/man/man1/tidewatch-record.1.gz \
    share/metainfo/example.vendrel.tidewatch.metainfo.xml \
    share/man/man6/tidewatch.6.gz | sort)
[ "$files" = "$expected" ] || fail "package files differ:$(diff <(echo "$expected") <(echo "$files"))"

lintian --fail-on error,warning --tag-display-limit 0 "$deb" || fail "lintian reports errors or warnings"

# What software centres read: the menu entry and the AppStream metadata, valid and of this version.
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work"/root/usr/share/applications/*.desktop || fail "the menu entry is not valid"
metainfo=$(echo "$work"/root/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo" || fail "the AppStream metadata is not valid"
grep -qF "<release version=\"$version\"" "$metainfo" || fail "the AppStream release is not $version"

# dpkg-shlibdeps's Depends (with versions) names the owner of every library linked, nothing else.
owners=$("$objdump" -p "$work"/root/usr/bin/* | awk '$1 == "NEEDED" {print $2}' | sort -u | while read -r lib; do
    # The file itself, by its name in the machine's library folder, whichever of /lib and /usr/lib
    # the package put it in.
    file=$(basename "$(readlink -f "/usr/lib/$triplet/$lib")")
    dpkg -S "*/$triplet/$file"
done | grep -v '^diversion' | cut -d: -f1 | sort -u)
expect_machine "$work"/root/usr/bin/*
depends=$(field Depends)
grep -q '(>= ' <<<"$depends" || fail "Depends carries no versions: not from dpkg-shlibdeps"
expect_equal "Depends' packages" "$owners" "$(tr ',|' '\n\n' <<<"$depends" | awk 'NF {print $1}' | sort -u)"
echo "ok: fields, $(wc -l <<<"$files") files, lintian clean, Depends from $(wc -l <<<"$owners") packages"
