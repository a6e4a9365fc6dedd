#!/bin/bash
# Runs the page's tests (tests/web/*.test.mjs) in Chromium, Firefox ESR and WebKitGTK against the
# desktop build's recorder and asset export, on the tests' private display and sound server
# (scripts/services.sh), stopped again on the way out.
# Usage: tests/web/run.sh [WEB_BUILD [NATIVE_BUILD]]
# (defaults build-web and build; both built already, e.g. by web/build.sh and ./test.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
web="$(realpath "${1:-build-web}")"
native="$(realpath "${2:-build}")"

# puppeteer-core drives Debian's chromium; kept in the build folder, never in the repository.
npm_dir="$web/npm"
if [ ! -d "$npm_dir/node_modules/puppeteer-core" ]; then
    mkdir -p "$npm_dir"
    npm install --prefix "$npm_dir" --no-audit --no-fund puppeteer-core@24 fast-check@4 >/dev/null
fi
export TW_PUPPETEER="$npm_dir/node_modules/puppeteer-core/lib/esm/puppeteer/puppeteer-core.js"
export TW_PAGE="$web/tidewatch.html"
export TW_REFERENCE="$web/test-reference"
export TW_RECORD="$native/tools/record/tidewatch-record"

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

services="$web/services"
scripts/services.sh start "$services" >/dev/null
trap 'scripts/services.sh stop "$services"' EXIT
# shellcheck disable=SC1091
source "$services/env"

status=0
for test in tests/web/*.test.mjs; do
    echo "== $test"
    node "$test" || status=1
done
exit $status
