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

# A PNG file's width and height as "WxH".
png_size() {
    file -b "$1" | grep -oE '^PNG image data, [0-9]+ x [0-9]+' | grep -oE '[0-9]+ x [0-9]+' | tr -d ' '
}
