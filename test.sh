#!/bin/bash
# Installs what is missing, builds, and runs every test through CTest, selected by label (see
# tests/CMakeLists.txt): first those labelled sanitize in a build under AddressSanitizer and
# UndefinedBehaviorSanitizer (scripts/sanitize.sh), then every test of the ordinary build: unit,
# GL, the page in three browsers (built here by web/build.sh), the release, the soak. The log ends
# with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test
# The minimal Debian 13 that a release test runs the archive in is fetched meanwhile (minutes; kept
# once made); the test waits for it.
mkdir -p build
scripts/debian13-root.sh build/debian13 >build/debian13.log 2>&1 &
# The release the tests make (both machines' archives and packages) carries the page built below.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
    -DTW_WEB_BUILD_DIR="$PWD/build-web"
cmake --build build -j"$(nproc)"
web/build.sh build-web

status=0
scripts/sanitize.sh build-asan || status=1
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 1200 || status=1
exit $status
