#!/bin/bash
# A release archive (either machine's, by its name) unpacks into one folder tidewatch/ with
# exactly the two executables, built for that machine, the .nfo, the browser edition's page, the
# screenshot and the clip; the recorder runs from there (arm64: under qemu), the pictures are what
# the release promises, and the entries are stored as a rebuild would store them.
# Usage: archive-contents.sh ARCHIVE VERSION SHOT_SIZE CLIP_SIZE CLIP_SECONDS
set -euo pipefail
source "$(dirname "$0")/common.sh"
archive=$1 version=$2 shot_size=$3 clip_size=$4 clip_seconds=$5
machine=${archive##*-}
use_machine "${machine%.tar.gz}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

entries=$(tar tzf "$archive" | sed 's|^\./||; s|/$||' | sort)
expected=$(printf 'tidewatch%s\n' "" /clip.mp4 /screenshot.png /tidewatch /tidewatch-record /tidewatch.nfo \
    /tidewatch.html | sort)
[ "$entries" = "$expected" ] || fail "archive entries differ:$(diff <(echo "$expected") <(echo "$entries"))"
# Stored as a rebuild stores them: sorted, owned by 0, all of one date, modes from the executable bit.
listing=$(tar tvzf "$archive" --numeric-owner)
expect_equal "entry order" "$(tar tzf "$archive")" "$(tar tzf "$archive" | LC_ALL=C sort)"
awk '$2 != "0/0" {exit 1}' <<<"$listing" || fail "entries not owned by 0/0:$(echo; echo "$listing")"
expect_equal "entry dates" 1 "$(awk '{print $4, $5}' <<<"$listing" | sort -u | wc -l)"
awk '$1 !~ /^(drwxr-xr-x|-rwxr-xr-x|-rw-r--r--)$/ {exit 1}' <<<"$listing" ||
    fail "entry modes other than 755 and 644:$(echo; echo "$listing")"
[ "$(head -c 4 "$archive" | od -An -tx1 | tr -d ' ')" = 1f8b0800 ] || fail "gzip stores a name or flags"
[ "$(od -An -tu4 -j4 -N4 "$archive" | tr -d ' ')" = 0 ] || fail "gzip stores a time"
tar xzf "$archive" -C "$work"
dir=$work/tidewatch

# The stripped executables still run from the unpacked folder (the recorder made the pictures).
expect_machine "$dir/tidewatch" "$dir/tidewatch-record"
expect_equal "--version" "tidewatch-record $version" "$(machine_run "$dir/tidewatch-record" --version)"

# The .nfo: plain 80-column ASCII with what a release note carries
nfo=$dir/tidewatch.nfo
LC_ALL=C grep -q '[^[:print:][:space:]]' "$nfo" && fail "the .nfo is not plain ASCII"
awk 'length > 80 {exit 1}' "$nfo" || fail "the .nfo has lines over 80 columns"
for text in "TIDEWATCH $version" "Linux $machine_name," "Linux on $machine_name with" "V  E  N  D  R  E  L" CREDITS GREETINGS KEYS Escape \
    "./tidewatch" "./tidewatch-record --out" "WHAT IT NEEDS" "ALSA" "OpenGL" "ffmpeg" "apt-get"; do
    grep -qF -- "$text" "$nfo" || fail "the .nfo does not mention '$text'"
done

# The executables need only what every X11 desktop has (glibc, the GL dispatch libraries, libX11,
# ALSA), and glibc no newer than the .nfo says.
allowed="libc.so.6 libm.so.6 $loader libGL.so.1 libOpenGL.so.0 libGLX.so.0 libEGL.so.1
libX11.so.6 libasound.so.2"
for program in tidewatch tidewatch-record; do
    needed=$("$objdump" -p "$dir/$program" | awk '$1 == "NEEDED" {print $2}')
    echo "$program needs: $(paste -sd' ' <<<"$needed")"
    others=$(grep -vxF -f <(tr ' ' '\n' <<<"$allowed") <<<"$needed" || true)
    [ -z "$others" ] || fail "$program needs $(paste -sd' ' <<<"$others"), which a desktop may lack"
    floor=$("$objdump" -T "$dir/$program" | grep -oE 'GLIBC_[0-9.]+' | sort -uV | tail -1)
    grep -qF "glibc ${floor#GLIBC_} " "$nfo" || fail "$program needs $floor, which the .nfo does not name"
done

expect_equal "screenshot size" "$shot_size" "$(png_size "$dir/screenshot.png")"
probe=$(ffprobe -v error -show_entries stream=codec_name,width,height:format=duration -of csv=p=0 \
    "$dir/clip.mp4" | paste -sd' ')
echo "clip: $probe"
[[ "$probe" =~ ^h264,${clip_size/x/,}\ aac\ ([0-9.]+)$ ]] || fail "the clip is not H.264 $clip_size with AAC"
awk -v d="${BASH_REMATCH[1]}" -v s="$clip_seconds" 'BEGIN {exit !(d > s - 0.2 && d < s + 0.2)}' ||
    fail "the clip lasts ${BASH_REMATCH[1]} s, not $clip_seconds s"
echo "ok: $machine_name, $(wc -l <<<"$entries") entries, executables run, pictures as promised"
