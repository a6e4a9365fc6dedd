#!/bin/bash
# Runs the intro for a long time under a private display and sound server and checks that it stays
# steady: resident memory, the sound stream and the presented frames (tests/reliability/SoakTest).
#   scripts/soak.sh [SECONDS] [BUILD_DIR]     default 600 s, build
# The build must have the soak_test target built (cmake --build BUILD_DIR --target soak_test).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
build=${2:-build}
services=$PWD/$build/soak-services
scripts/services.sh start "$services" >/dev/null
trap 'scripts/services.sh stop "$services"' EXIT
# shellcheck disable=SC1091
. "$services/env"
TW_SOAK_SECONDS=$seconds "$build/tests/reliability/soak_test"
