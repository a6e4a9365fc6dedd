#!/bin/bash
# Installs what running needs (not the test tools), builds, and runs the intro.
# On a desktop it shows the intro full screen (Escape ends it). On a machine with no display it
# records a 20-second clip with the recorder instead and says where the video is.
# ./run.sh --web builds the browser edition, build-web/tidewatch.html, and opens it in the
# desktop's browser, or says where it is when there is no display.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh run

if [ "${1:-}" = "--web" ]; then
    web/build.sh build-web
    page="$PWD/build-web/tidewatch.html"
    if [ -n "${DISPLAY:-}" ] && command -v xdg-open >/dev/null; then
        exec xdg-open "$page"
    fi
    echo "Open $page in a browser (it works from disk, alone in any folder)."
    exit 0
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build build -j"$(nproc)" --target tidewatch tidewatch-record

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec build/src/app/tidewatch
fi

out="$PWD/out/tidewatch-preview.mp4"
mkdir -p out
echo "No display found: recording a 20-second preview instead."
build/tools/record/tidewatch-record --size 640x360 --fps 30 --seconds 20 --out "$out"
echo "Video written to $out"
