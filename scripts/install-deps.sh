#!/bin/bash
# Installs the Debian packages that building, running and testing need, if any is missing.
# Works as root or through sudo.
set -euo pipefail

packages=(
    build-essential cmake pkg-config clang-format
    libglfw3-dev libx11-dev libxfixes-dev libxmp-dev libasound2-dev libpng-dev libgl-dev libegl-dev libgl1-mesa-dri
    libgtest-dev libgmock-dev libbenchmark-dev glslang-tools
    xvfb xauth x11-utils xdotool imagemagick
    pulseaudio pulseaudio-utils libasound2-plugins sox
    libopenmpt-dev openmpt123 ffmpeg
    dpkg-dev file man-db
)

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
