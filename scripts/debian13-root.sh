#!/bin/bash
# Makes a minimal Debian 13 root in DIR with only what a desktop's GL, X11 and sound need (Mesa's
# GL and EGL drivers, libX11, ALSA), for the test that runs the release archive's recorder there.
# Kept once made: a second run returns at once, and one started meanwhile waits for the first.
# ./test.sh starts it in the background before the build, since the fetch takes a while.
# Usage: debian13-root.sh DIR   (as root)
set -euo pipefail
dir=$1
mkdir -p "$(dirname "$dir")"
# The glvnd dispatch libraries (libGL for GLFW's GLX, libOpenGL and libEGL for the recorder).
packages=libgl1,libegl1,libopengl0,libglx0,libgl1-mesa-dri,libx11-6,libasound2t64
exec 9>"$dir.lock"
flock 9
# A root made with another package list is made again.
[ "$(cat "$dir/.complete" 2>/dev/null)" = "$packages" ] && exit 0
rm -rf "$dir" "$dir.partial"
debootstrap --variant=minbase --include="$packages" trixie "$dir.partial" http://deb.debian.org/debian
# Downloaded packages are not needed once unpacked.
rm -rf "$dir.partial"/var/cache/apt/archives/*.deb
mv "$dir.partial" "$dir"
echo "$packages" >"$dir/.complete"
