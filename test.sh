#!/bin/bash
# Installs what is missing, builds, and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 1200
# Reliability: the intro left running for 90 s (scripts/soak.sh alone defaults to 10 minutes),
# then the build and runs under AddressSanitizer and UndefinedBehaviorSanitizer.
scripts/soak.sh 90 build
scripts/sanitize.sh build-asan
