#!/bin/bash
# The release archive unpacks into one folder tidewatch/ with exactly the two executables, the
# .nfo, the browser edition's page, the screenshot and the clip; the executables run from there and the pictures are what
# the release promises.
# Usage: archive-contents.sh ARCHIVE VERSION SHOT_SIZE CLIP_SIZE CLIP_SECONDS
set -euo pipefail
source "$(dirname "$0")/common.sh"
archive=$1 version=$2 shot_size=$3 clip_size=$4 clip_seconds=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Exactly one folder with exactly these files
entries=$(tar tzf "$archive" | sed 's|^\./||; s|/$||' | sort)
expected=$(printf '%s\n' tidewatch tidewatch/clip.mp4 tidewatch/screenshot.png \
    tidewatch/tidewatch tidewatch/tidewatch-record tidewatch/tidewatch.nfo \
    tidewatch/tidewatch.html | sort)
[ "$entries" = "$expected" ] || fail "archive entries differ:$(diff <(echo "$expected") <(echo "$entries"))"
tar xzf "$archive" -C "$work"
expect_equal "unpacked" tidewatch "$(ls -A "$work")"
dir=$work/tidewatch

# The executables run from the unpacked folder
for exe in tidewatch tidewatch-record; do
    [ -x "$dir/$exe" ] || fail "$exe is not executable"
done
echo "--- tidewatch-record --help"
without_display "$dir/tidewatch-record" --help | tee "$work/help"
head -1 "$work/help" | grep -q '^Usage: tidewatch-record ' || fail "--help does not start with Usage"
printed=$(without_display "$dir/tidewatch-record" --version)
echo "$printed"
expect_equal "--version" "tidewatch-record $version" "$printed"
# The intro ignores its arguments; with no display it must still load and fail with its line.
echo "--- tidewatch --help, no display"
status=0
without_display "$dir/tidewatch" --help >"$work/intro.out" 2>/dev/null </dev/null || status=$?
cat "$work/intro.out"
expect_equal "intro status with no display" 1 "$status"
expect_equal "intro line with no display" "glfwInit failed" "$(cat "$work/intro.out")"

# The .nfo: plain 80-column ASCII with what a release note carries
nfo=$dir/tidewatch.nfo
LC_ALL=C grep -q '[^[:print:][:space:]]' "$nfo" && fail "the .nfo is not plain ASCII"
awk 'length > 80 {exit 1}' "$nfo" || fail "the .nfo has lines over 80 columns"
for text in "TIDEWATCH $version" "V  E  N  D  R  E  L" CREDITS GREETINGS KEYS Escape \
    "./tidewatch" "./tidewatch-record --out" "WHAT IT NEEDS" "ALSA" "OpenGL" "ffmpeg"; do
    grep -qF -- "$text" "$nfo" || fail "the .nfo does not mention '$text'"
done

# The screenshot and the clip
expect_equal "screenshot size" "$shot_size" "$(png_size "$dir/screenshot.png")"
probe=$(ffprobe -v error -show_entries stream=codec_type,codec_name,width,height \
    -show_entries format=duration -of default=noprint_wrappers=1 "$dir/clip.mp4")
echo "$probe"
grep -qx codec_name=h264 <<<"$probe" || fail "the clip has no H.264 video"
grep -qx codec_name=aac <<<"$probe" || fail "the clip has no AAC sound"
expect_equal "clip size" "$clip_size" "$(grep -E '^(width|height)=' <<<"$probe" | cut -d= -f2 | paste -sd x)"
duration=$(grep '^duration=' <<<"$probe" | cut -d= -f2)
awk -v d="$duration" -v s="$clip_seconds" 'BEGIN {exit !(d > s - 0.2 && d < s + 0.2)}' ||
    fail "the clip lasts $duration s, not $clip_seconds s"
echo "ok: $(wc -l <<<"$entries") entries, executables run, pictures as promised"
