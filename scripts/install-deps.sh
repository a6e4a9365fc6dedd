#!/bin/bash
# Installs the Debian packages that are missing, as root or through sudo.
# Usage: install-deps.sh run    what building and running the intro and the recorder need
#        install-deps.sh test   that, and what building and running the tests need
set -euo pipefail

run_packages=(
    build-essential cmake pkg-config
    libglfw3-dev libx11-dev libxmp-dev libasound2-dev libpng-dev libgl-dev libegl-dev libgl1-mesa-dri
    x11-utils ffmpeg
)
test_packages=(
    clang-format ninja-build libxfixes-dev libgtest-dev libgmock-dev libbenchmark-dev glslang-tools
    xvfb xauth xdotool imagemagick
    pulseaudio pulseaudio-utils libasound2-plugins sox
    libopenmpt-dev openmpt123
    dpkg-dev file man-db lintian appstream desktop-file-utils
    libxrandr-dev libxinerama-dev libxcursor-dev libxi-dev  # GLFW's build for the release archive
    bubblewrap debootstrap weston xwayland
    chromium firefox-esr webkit2gtk-driver libwebkit2gtk-4.1-0
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
)

case "${1:-}" in
    run) packages=("${run_packages[@]}") ;;
    test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
    *)
        echo "usage: $0 run|test" >&2
        exit 2
        ;;
esac

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}" </dev/null
