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

# use_machine amd64|x86_64|arm64|aarch64 sets, for that machine: objdump, triplet, loader, format
# (objdump's word for its executables), machine_name (the .nfo's) and run (what runs its programs).
use_machine() {
    case "$1" in
        amd64 | x86_64)
            objdump=objdump triplet=x86_64-linux-gnu loader=ld-linux-x86-64.so.2
            format=elf64-x86-64 machine_name=x86-64 run=()
            ;;
        arm64 | aarch64)
            objdump=aarch64-linux-gnu-objdump triplet=aarch64-linux-gnu loader=ld-linux-aarch64.so.1
            format=elf64-littleaarch64 machine_name=arm64 run=(qemu-aarch64-static)
            ;;
        *) fail "unknown machine '$1'" ;;
    esac
}

# Runs a program of that machine, with no display.
machine_run() {
    without_display ${run[@]+"${run[@]}"} "$@"
}

# Fails unless every file given is an executable of that machine.
expect_machine() {
    for program in "$@"; do
        "$objdump" -f "$program" | grep -q "file format $format" || fail "$program is not $format"
    done
}
