#!/bin/bash
# Reads the Debian package's control data and file list: the fields, a Depends line that matches
# what the executables link, and exactly the executables and manual pages as files.
# Usage: package-contents.sh DEB VERSION
set -euo pipefail
source "$(dirname "$0")/common.sh"
deb=$1 version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

dpkg-deb -I "$deb"
field() { dpkg-deb -f "$deb" "$1"; }
expect_equal Package tidewatch "$(field Package)"
expect_equal Version "$version" "$(field Version)"
expect_equal Architecture amd64 "$(field Architecture)"
expect_equal Section games "$(field Section)"
expect_equal Recommends ffmpeg "$(field Recommends)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
description=$(field Description)
[ -n "$(head -1 <<<"$description")" ] || fail "Description has no summary line"
[ "$(wc -l <<<"$description")" -ge 2 ] || fail "Description has no long text"
[ -n "$(field Installed-Size)" ] || fail "no Installed-Size"

# Files: exactly the two executables and two manual pages, executables stripped.
dpkg-deb -c "$deb"
files=$(dpkg-deb -c "$deb" | awk '$1 ~ /^-/ {print $6}' | sort)
expected=$(printf '%s\n' ./usr/bin/tidewatch ./usr/bin/tidewatch-record \
    ./usr/share/man/man1/tidewatch-record.1 ./usr/share/man/man6/tidewatch.6 | sort)
[ "$files" = "$expected" ] || fail "package files differ:$(diff <(echo "$expected") <(echo "$files"))"
dpkg-deb -c "$deb" | awk '$6 ~ /^\.\/usr\/bin\/./ && $1 != "-rwxr-xr-x" {exit 1}' ||
    fail "an executable is not mode 755"

# Depends: one entry for each package that owns a library the executables need, nothing else,
# with versions (which only dpkg-shlibdeps's symbol data gives).
dpkg-deb -x "$deb" "$work/root"
owner() {
    local soname=$1 path candidate
    path=$(ldconfig -p | awk -v lib="$soname" '$1 == lib && /x86-64/ {print $NF; exit}')
    [ -n "$path" ] || fail "no $soname on this machine"
    for candidate in "$path" "$(readlink -f "$path")" "${path#/usr}" "/usr$path"; do
        if dpkg -S "$candidate" >/dev/null 2>&1; then
            dpkg -S "$candidate" | grep -v '^diversion' | head -1 | cut -d: -f1
            return
        fi
    done
    fail "no package owns $soname ($path)"
}
needed=$(for exe in "$work"/root/usr/bin/*; do
    objdump -p "$exe" | awk '$1 == "NEEDED" {print $2}'
done | sort -u)
owners=$(for soname in $needed; do owner "$soname"; done | sort -u)
depends=$(field Depends)
echo "Depends: $depends"
listed=$(tr ',|' '\n\n' <<<"$depends" | awk 'NF {print $1}' | sort -u)
[ "$owners" = "$listed" ] ||
    fail "Depends does not match the linked libraries' packages:$(diff <(echo "$owners") <(echo "$listed"))"
grep -q '(>= ' <<<"$depends" || fail "Depends carries no versions: not from dpkg-shlibdeps"
echo "ok: $(wc -l <<<"$owners") packages from $(wc -w <<<"$needed") libraries"
