#!/bin/bash
# Builds the browser edition, build-web/tidewatch.html: installs what is missing (Debian's
# emscripten, and npm for the tests; the browsers come with scripts/install-deps.sh test),
# builds the desktop generators whose pictures and module the page carries, fetches libxmp's Debian source package into the build folder, and
# compiles everything to one page. Usage: web/build.sh [BUILD_DIR] (default build-web).
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build-web}"

# Debian's emcc runs with the system python and finds its JS optimiser's parser under /usr/share.
export PATH="/usr/bin:$PATH" NODE_PATH=/usr/share/nodejs

missing=()
for tool in emcc:emscripten node:nodejs npm:npm dpkg-source:dpkg-dev; do
    command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get -o DPkg::Lock::Timeout=900 install -y "${missing[@]}"
fi

# The generators run on the desktop build, as they do for the intro. A build folder made here
# first leaves the tests out, since ./run.sh --web installs no test tools; one that ./test.sh
# configured keeps its tests.
testing=()
[ -f build/CMakeCache.txt ] || testing=(-DBUILD_TESTING=OFF)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${testing[@]}" >/dev/null
cmake --build build -j"$(nproc)" --target tidewatch-pictures tidewatch-music-module \
    tidewatch-make-icon

# libxmp: the version the desktop links, from Debian's sources, unpacked beside the build.
xmp_dir="$out/libxmp"
scripts/debian-source.sh libxmp-dev "$xmp_dir"

emcmake cmake -S web -B "$out" -DCMAKE_BUILD_TYPE=Release -DTW_NATIVE_BUILD="$PWD/build" \
    -DTW_LIBXMP_DIR="$PWD/$xmp_dir" >/dev/null
cmake --build "$out" -j"$(nproc)"
echo "Page: $PWD/$out/tidewatch.html ($(stat -c %s "$out/tidewatch.html") bytes)"
