#!/bin/bash
# Builds the Debian package with the build folder's CPack configuration into a scratch folder.
# Usage: package-build.sh BUILD_DIR OUT_DIR VERSION
set -euo pipefail
source "$(dirname "$0")/common.sh"
build=$1 out=$2 version=$3

rm -rf "$out"
mkdir -p "$out"
# cpack installs from the build folder (building anything out of date first) into its own stage.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out"
deb="$out/tidewatch_${version}_amd64.deb"
[ -s "$deb" ] || fail "cpack did not write $deb"
rm -rf "$out/_CPack_Packages"
# apt's download user reads local packages too.
chmod a+r "$deb"
echo "built $deb ($(stat -c %s "$deb") bytes)"
