#!/bin/bash
# A second release from the same sources, copied to another folder and built there in another
# time zone, locale and umask, gives the same bytes as BUILD_DIR/release for every file in
# SHA256SUMS; where a file differs, diffoscope says how. Only the static GLFW and libxmp, built
# from Debian's sources, are taken from BUILD_DIR rather than built again.
# Usage: reproducible.sh SOURCE_DIR BUILD_DIR BUILD_TYPE WORK_DIR
set -euo pipefail
source "$(dirname "$0")/common.sh"
source_dir=$1 first=$2 build_type=$3 work=$4
release=$first/release
[ -f "$release/SHA256SUMS" ] || fail "$release/SHA256SUMS does not exist: no release to compare with"

# The sources as a clone with the same changes would have them, under another name, with the
# commit (SOURCE_DATE_EPOCH's source) fetched into a repository of their own: a later commit
# here must not change what the copy builds.
rm -rf "$work"
copy=$work/other-sources
mkdir -p "$copy"
git -C "$source_dir" ls-files -z --cached --others --exclude-standard |
    (cd "$source_dir" && tar --null -T - -cf -) | tar -xf - -C "$copy"
git -C "$copy" init -q
git -C "$copy" fetch -q --depth 1 "$source_dir" "$(git -C "$source_dir" rev-parse HEAD)"
git -C "$copy" update-ref HEAD FETCH_HEAD

# Another zone on the far side of the date line, another language, a stricter umask.
locale=C.UTF-8
locale -a 2>/dev/null | grep -qx 'fr_FR.utf8' && locale=fr_FR.UTF-8
build=$work/elsewhere
# The same build tool: debug information records the folder each compiler ran in, which is the
# build folder for Ninja and each target's folder for make, and the build ID covers it.
generator=$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$first/CMakeCache.txt")
started=$(date +%s)
(
    umask 077
    export TZ=Pacific/Kiritimati LC_ALL=$locale LANG=$locale
    cmake -S "$copy" -B "$build" -G "$generator" -DCMAKE_BUILD_TYPE="$build_type" -DBUILD_TESTING=OFF \
        -DTW_PREBUILT_THIRD_PARTY="$first/third-party" \
        -DTW_PREBUILT_THIRD_PARTY_ARM64="$first/aarch64/third-party" >"$work/configure.log"
    cmake --build "$build" --parallel "$(nproc)" --target release >"$work/build.log" 2>&1
) || fail "the second release build failed: $(tail -5 "$work/build.log" 2>/dev/null)"
echo "second release built in $(($(date +%s) - started)) s"

different=()
while read -r _ name; do
    cmp -s "$release/$name" "$build/release/$name" || different+=("$name")
done <"$release/SHA256SUMS"
if [ ${#different[@]} -gt 0 ]; then
    for name in "${different[@]}"; do
        echo "== $name differs:"
        diffoscope --text - --max-report-size 200000 "$release/$name" "$build/release/$name" | head -200 || true
    done
    fail "${different[*]} differ between the two builds"
fi
expect_equal "SHA256SUMS" "$(cat "$release/SHA256SUMS")" "$(cat "$build/release/SHA256SUMS")"
rm -rf "$work"
echo "ok: $(wc -l <"$release/SHA256SUMS") files identical"
