#!/bin/bash
# Installs the Debian package with apt-get, runs the installed programs (version, a one-frame
# recording, the intro's start-up failure with no display), finds the manual pages, then removes
# the package and checks that nothing of it is left under /usr. The arm64 package installs here
# beside Debian's arm64 libraries (multiarch) and its programs run under qemu. Needs root, as in CI.
# Usage: package-install.sh DEB VERSION ARCH (amd64 or arm64)
set -euo pipefail
source "$(dirname "$0")/common.sh"
deb=$(readlink -f "$1") version=$2 arch=$3
use_machine "$arch"
[ "$(id -u)" -eq 0 ] || fail "installing the package needs root (run the tests as root, as CI does)"
export DEBIAN_FRONTEND=noninteractive
work=$(mktemp -d)
chmod 755 "$work"
installed() { [ "$(dpkg-query -W -f='${Status}' tidewatch 2>/dev/null)" = "install ok installed" ]; }
trap 'installed && apt-get remove -y -qq tidewatch >/dev/null 2>&1; rm -rf "$work"' EXIT
! installed || apt-get remove -y -qq tidewatch

apt-get install -y "$deb" </dev/null
expect_equal "installed version and machine" "$version $arch" \
    "$(dpkg-query -W -f='${Version} ${Architecture}' tidewatch)"
expect_equal "manual pages" "/usr/share/man/man6/tidewatch.6.gz /usr/share/man/man1/tidewatch-record.1.gz" \
    "$(man -w tidewatch) $(man -w tidewatch-record)"
expect_equal "--version" "tidewatch-record $version" "$(machine_run /usr/bin/tidewatch-record --version)"
cd "$work"
machine_run /usr/bin/tidewatch-record --size 320x180 --start 20 --fps 1 --seconds 1 --frames shot \
    </dev/null >out 2>err || fail "the one-frame recording failed: $(cat err)"
expect_equal "recorder output" "wrote shot (1 frame at 1 fps, 320x180)" "$(cat out)"
expect_equal "frame size and music" "320x180 audio.wav" "$(png_size shot/frame-000000.png) $(ls shot | grep -v png)"
status=0
machine_run /usr/bin/tidewatch >intro.out 2>/dev/null </dev/null || status=$?
expect_equal "intro with no display" "1 glfwInit failed" "$status $(cat intro.out)"
cd /

apt-get remove -y tidewatch </dev/null
! installed || fail "tidewatch is still installed after apt-get remove"
left=$(find /usr -path /usr/local -prune -o -name '*tidewatch*' -print)
[ -z "$left" ] || fail "left under /usr after removing: $left"
echo "ok: $arch package installed, ran and removed cleanly"
