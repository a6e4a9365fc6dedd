#!/bin/bash
# The page's tests (tests/web/*.test.mjs) as CTest runs them (tests/web/CMakeLists.txt): in
# Chromium, Firefox ESR and WebKitGTK, against the desktop build's recorder and asset export, on
# the tests' private display and sound server (the services fixture, TW_SERVICES_DIR).
# Usage: tests/web/run.sh WEB_BUILD NATIVE_BUILD prepare     drivers and reference frames, once
#        tests/web/run.sh WEB_BUILD NATIVE_BUILD SUITE.mjs   one suite
# By hand: ctest --test-dir build -L page (after web/build.sh and a build with tests).
set -euo pipefail
cd "$(dirname "$0")/../.."
web="$(realpath "$1")"
native="$(realpath "$2")"
what=$3

npm_dir="$web/npm"
export TW_PUPPETEER="$npm_dir/node_modules/puppeteer-core/lib/esm/puppeteer/puppeteer-core.js"
export TW_PAGE="$web/tidewatch.html"
export TW_REFERENCE="$web/test-reference"
export TW_RECORD="$native/tools/record/tidewatch-record"

if [ "$what" != prepare ]; then
    # shellcheck disable=SC1091
    source "${TW_SERVICES_DIR:?the services fixture names its folder in TW_SERVICES_DIR}/env"
    exec node "$what"
fi

[ -f "$TW_PAGE" ] || { echo "no page at $TW_PAGE: build it first with web/build.sh" >&2; exit 1; }
# The suites' npm packages, kept in the build folder, never in the repository: puppeteer-core
# drives Debian's chromium and firefox-esr, axe-core checks the page's accessibility, fast-check
# makes the random player test's sequences.
packages=(puppeteer-core@24 axe-core@4 fast-check@4)
for package in "${packages[@]}"; do
    if [ ! -d "$npm_dir/node_modules/${package%@*}" ]; then
        mkdir -p "$npm_dir"
        npm install --prefix "$npm_dir" --no-audit --no-fund "${packages[@]}" >/dev/null
        break
    fi
done

# What the desktop renders: the three still frames, the song, and 2 s across its restart.
record="$TW_RECORD"
rm -rf "$TW_REFERENCE"
mkdir -p "$TW_REFERENCE"
for t in 3 20 30; do
    "$record" --size 320x180 --start "$t" --seconds 1 --fps 1 --frames "$TW_REFERENCE/still-$t" \
        >/dev/null 2>>"$TW_REFERENCE/record.log"
done
"$native/tools/assets/tidewatch-assets" "$TW_REFERENCE/assets" >/dev/null
mv "$TW_REFERENCE/assets/music.wav" "$TW_REFERENCE/music.wav"
song_seconds=$(( ($(stat -c %s "$TW_REFERENCE/music.wav") - 44) / 4 / 44100 ))
"$record" --size 64x36 --start $((song_seconds - 1)) --seconds 2 --fps 1 \
    --frames "$TW_REFERENCE/loop" >/dev/null 2>>"$TW_REFERENCE/record.log"
echo $((song_seconds - 1)) > "$TW_REFERENCE/loop/start"
echo "prepared: $TW_REFERENCE"
