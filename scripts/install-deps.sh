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
    # The arm64 release: Debian's cross compiler, qemu to run what it makes, and Debian 12's arm64
    # libraries (the package links them; the archive's static GLFW and libxmp build against them;
    # the tests run the programs on the arm64 Mesa and reach the sound server through ALSA's plugin)
    crossbuild-essential-arm64 qemu-user-static diffoscope-minimal
    libc6-dev:arm64 libglfw3-dev:arm64 libx11-dev:arm64 libxmp-dev:arm64 libasound2-dev:arm64
    libpng-dev:arm64 zlib1g-dev:arm64 libgl-dev:arm64 libegl-dev:arm64 libgl1-mesa-dri:arm64
    libxrandr-dev:arm64 libxinerama-dev:arm64 libxcursor-dev:arm64 libxi-dev:arm64
    libasound2-plugins:arm64
)

case "${1:-}" in
    run) packages=("${run_packages[@]}") ;;
    test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
    *)
        echo "usage: $0 run|test" >&2
        exit 2
        ;;
esac

# The arm64 packages need the architecture known to dpkg before apt can name them.
needs_arm64=false
for p in "${packages[@]}"; do
    [[ "$p" == *:arm64 ]] && needs_arm64=true
done

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
if $needs_arm64 && ! dpkg --print-foreign-architectures | grep -qx arm64; then
    $sudo dpkg --add-architecture arm64
fi
$sudo apt-get -o DPkg::Lock::Timeout=1800 update -qq
$sudo apt-get -o DPkg::Lock::Timeout=1800 install -y -qq "${missing[@]}" </dev/null
