# Shared by the release tests: failing with one clear line, and running a program with no display.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# expect_equal WHAT EXPECTED ACTUAL
expect_equal() {
    [ "$2" = "$3" ] || fail "$1: expected '$2', got '$3'"
}

# The programs must start with no display at all, as on a build server.
without_display() {
    env -u DISPLAY -u WAYLAND_DISPLAY "$@"
}

# PNG width and height from the IHDR chunk, as "WxH".
png_size() {
    local header
    header=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
    [ "$(head -c8 "$1" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "$1 is not a PNG"
    echo "$((16#${header:0:8}))x$((16#${header:8:8}))"
}
