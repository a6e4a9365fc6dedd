#!/bin/bash
# Starts or stops the private display (Xvfb, Mesa llvmpipe) and sound server (PulseAudio with a
# null sink) that the tests share once per test run, and that the benchmark and the soak and
# sanitizer scripts start for themselves.
#   services.sh start DIR   writes DIR/env, shell lines that export what a client needs (scripts
#                           source it; TestServices and tidewatch-bench read it)
#   services.sh stop DIR
# A watchdog stops both when the process that ran "start" (ctest) goes away, so an interrupted
# run leaves nothing behind.
set -u
cmd=$1
dir=$2

stop_services() {
    for f in "$dir"/xvfb.pid "$dir"/pulse.pid "$dir"/watchdog.pid; do
        [ -f "$f" ] || continue
        pid=$(cat "$f")
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
        rm -f "$f"
    done
}

# wait_for FILE WHAT LOG: up to 10 s for FILE to have content; else WHAT did not start: its LOG
# is shown and everything started so far stops.
wait_for() {
    for _ in $(seq 100); do
        [ -s "$1" ] && return 0
        sleep 0.1
    done
    echo "$2 did not start:" >&2
    cat "$3" >&2
    stop_services
    exit 1
}

case "$cmd" in
stop)
    stop_services
    exit 0
    ;;
start)
    stop_services
    rm -rf "$dir"
    mkdir -p "$dir/home" "$dir/run"
    chmod 700 "$dir/run"
    # Xvfb picks a free display number itself and reports it on fd 3.
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset \
        3>"$dir/display.num" </dev/null >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    wait_for "$dir/display.num" Xvfb "$dir/xvfb.log"
    display=":$(tr -d '\n' <"$dir/display.num")"

    export HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run"
    printf 'pcm.!default { type pulse }\nctl.!default { type pulse }\n' >"$HOME/.asoundrc"
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
        --load="module-null-sink sink_name=tidewatch rate=44100 channels=2" \
        --load=module-native-protocol-unix >"$dir/pulse.log" 2>&1
    wait_for "$XDG_RUNTIME_DIR/pulse/pid" PulseAudio "$dir/pulse.log"
    cp "$XDG_RUNTIME_DIR/pulse/pid" "$dir/pulse.pid"

    cat >"$dir/env" <<ENV
export DISPLAY=$display
export HOME=$HOME
export XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR
export TW_SINK=tidewatch
export TW_SERVICES_DIR=$dir
ENV
    owner=$PPID
    setsid bash -c "while kill -0 $owner 2>/dev/null; do sleep 1; done; \
        kill \$(cat '$dir/xvfb.pid' '$dir/pulse.pid' 2>/dev/null) 2>/dev/null" \
        </dev/null >/dev/null 2>&1 &
    echo $! >"$dir/watchdog.pid"
    echo "display $display, sound server in $XDG_RUNTIME_DIR"
    ;;
*)
    echo "usage: services.sh start|stop DIR" >&2
    exit 2
    ;;
esac
