#!/bin/bash
# Installs the Debian package with apt-get, runs the installed programs (help, version, a
# one-frame recording, the intro's start-up failure with no display), then removes the package
# and checks that nothing of it is left under /usr. Needs root, as in CI.
# Usage: package-install.sh DEB VERSION
set -euo pipefail
source "$(dirname "$0")/common.sh"
deb=$(readlink -f "$1") version=$2
[ "$(id -u)" -eq 0 ] || fail "installing the package needs root (run the tests as root, as CI does)"
export DEBIAN_FRONTEND=noninteractive
work=$(mktemp -d)
chmod 755 "$work"

installed() { [ "$(dpkg-query -W -f='${Status}' tidewatch 2>/dev/null)" = "install ok installed" ]; }
cleanup() {
    installed && apt-get remove -y -qq tidewatch >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

if installed; then
    echo "note: tidewatch was installed before the test; removing it first"
    apt-get remove -y -qq tidewatch
fi

# Install
apt-get install -y "$deb" </dev/null
installed || fail "dpkg does not list tidewatch as installed"
expect_equal "installed version" "$version" "$(dpkg-query -W -f='${Version}' tidewatch)"
for path in /usr/bin/tidewatch /usr/bin/tidewatch-record /usr/share/man/man6/tidewatch.6 \
    /usr/share/man/man1/tidewatch-record.1; do
    [ -e "$path" ] || fail "$path is missing after installing"
done
man -aw tidewatch | grep -qx /usr/share/man/man6/tidewatch.6 || fail "man does not find tidewatch(6)"
man -aw tidewatch-record | grep -qx /usr/share/man/man1/tidewatch-record.1 ||
    fail "man does not find tidewatch-record(1)"

# The installed recorder: help, version, one frame with no display
echo "--- /usr/bin/tidewatch-record --help"
without_display /usr/bin/tidewatch-record --help | tee "$work/help"
head -1 "$work/help" | grep -q '^Usage: tidewatch-record ' || fail "--help does not start with Usage"
echo "--- /usr/bin/tidewatch-record --version"
printed=$(without_display /usr/bin/tidewatch-record --version)
echo "$printed"
expect_equal "--version" "tidewatch-record $version" "$printed"
echo "--- one frame"
cd "$work"
without_display /usr/bin/tidewatch-record --size 320x180 --start 20 --fps 1 --seconds 1 \
    --frames "$work/shot" </dev/null >"$work/out" 2>"$work/err" ||
    fail "the one-frame recording failed: $(cat "$work/err")"
cat "$work/out"
expect_equal "recorder output" "wrote $work/shot (1 frames at 1 fps, 320x180)" "$(cat "$work/out")"
expect_equal "frames written" "audio.wav frame-000000.png" "$(ls "$work/shot" | tr '\n' ' ' | sed 's/ $//')"
expect_equal "frame size" 320x180 "$(png_size "$work/shot/frame-000000.png")"
wav="$work/shot/audio.wav"
[ "$(head -c4 "$wav")" = RIFF ] && [ "$(head -c12 "$wav" | tail -c4)" = WAVE ] || fail "$wav is not a WAV file"

# The installed intro loads its libraries and fails its start-up with its line: no display here.
echo "--- /usr/bin/tidewatch with no display"
status=0
without_display /usr/bin/tidewatch >"$work/intro.out" 2>/dev/null </dev/null || status=$?
cat "$work/intro.out"
expect_equal "intro status with no display" 1 "$status"
expect_equal "intro line with no display" "glfwInit failed" "$(cat "$work/intro.out")"
cd /

# Remove: no package, no files left under the prefix
apt-get remove -y tidewatch </dev/null
! installed || fail "tidewatch is still installed after apt-get remove"
left=$(find /usr -path /usr/local -prune -o -name '*tidewatch*' -print)
[ -z "$left" ] || fail "left under /usr after removing: $left"
echo "ok: installed, ran and removed cleanly"
