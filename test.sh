#!/bin/bash
# Installs what is missing, builds the intro and the page, and runs every test through CTest (see
# the labels in tests/CMakeLists.txt): unit, GL, the page in three browsers, the release, the
# soak, and the tests labelled sanitize again in a build under AddressSanitizer and
# UndefinedBehaviorSanitizer (scripts/sanitize.sh). The log ends with CTest's one summary.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test
# The minimal Debian 13 that a release test runs the archive in is fetched meanwhile (minutes; kept
# once made); the test waits for it.
mkdir -p build
scripts/debian13-root.sh build/debian13 >build/debian13.log 2>&1 &
# The release the tests make (both machines' archives and packages) carries this page.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON \
    -DTW_WEB_BUILD_DIR="$PWD/build-web"
cmake --build build -j"$(nproc)"
web/build.sh build-web
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 1200
