#!/bin/bash
# Installs what is missing, builds, and runs every test through CTest.
# Before the main CTest run: the build and tests under AddressSanitizer and
# UndefinedBehaviorSanitizer (scripts/sanitize.sh) and a 90-second soak of the intro
# (scripts/soak.sh; 10 minutes when run by hand), and the browser edition built and tested in
# headless Chromium (web/build.sh, tests/web/run.sh). The log ends with CTest's summary.
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

status=0
scripts/sanitize.sh build-asan || status=1
scripts/soak.sh 90 build || status=1
{ web/build.sh build-web && tests/web/run.sh build-web build; } || status=1
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 1200 || status=1
exit $status
