#!/bin/bash
# Builds the library, the intro, the generators and every test labelled sanitize with
# AddressSanitizer and UndefinedBehaviorSanitizer, runs those tests under them, then runs the intro
# for 20 s under a private display and sound server and ends it with Escape. Any sanitizer report
# fails, but for leaks made inside the GL driver itself (tests/sanitizers/lsan.supp says why).
# (The music thread's ThreadSanitizer check, music_thread_check, runs in the ordinary build.)
#   scripts/sanitize.sh [BUILD_DIR]     default build-asan (./test.sh: the CTest test
#                                       sanitize.asan-ubsan, in <build>-asan)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath -m "${1:-build-asan}")
supp=$root/tests/sanitizers

# Ninja builds the listed targets side by side; the Makefile generator would build them one after
# the other. A folder configured earlier keeps its generator.
generator=()
[ -f "$build/CMakeCache.txt" ] || generator=(-G Ninja)
cmake -S . -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTW_SANITIZE=address \
    >/dev/null
# Only these targets: the thread-sanitized music check cannot be built with these sanitizers.
cmake --build "$build" -j"$(nproc)" --target tidewatch tw_sanitize_tests

# Keeps Mesa's driver loaded to the end, so its globals are scanned for leaks (see the file).
cc -shared -fPIC -O1 -o "$build/libkeep_gl_driver.so" "$supp/keep_gl_driver.c" -ldl
export LD_PRELOAD=$build/libkeep_gl_driver.so
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=0:verify_asan_link_order=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$supp/lsan.supp:print_suppressions=0

ctest --test-dir "$build" -L sanitize --output-on-failure -j"$(nproc)" --timeout 1200

# The intro itself for 20 s, then Escape: status 0 and not one report.
services=$build/sanitize-services
scripts/services.sh start "$services" >/dev/null
trap 'scripts/services.sh stop "$services"' EXIT
# shellcheck disable=SC1091
. "$services/env"
log=$build/sanitize-intro.log
"$build/src/app/tidewatch" >"$log" 2>&1 &
intro=$!
sleep 20
if ! kill -0 "$intro" 2>/dev/null; then
    wait "$intro" || true
    echo "sanitize: the intro ended by itself within 20 s:" >&2
    cat "$log" >&2
    exit 1
fi
xdotool mousemove 5 5 key Escape
status=0
for _ in $(seq 300); do
    kill -0 "$intro" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$intro" 2>/dev/null; then
    kill -KILL "$intro"
    echo "sanitize: the intro did not end within 30 s of Escape" >&2
    exit 1
fi
wait "$intro" || status=$?
if [ "$status" -ne 0 ] || grep -Eq 'Sanitizer|runtime error' "$log"; then
    echo "sanitize: the intro under the sanitizers: status $status" >&2
    cat "$log" >&2
    exit 1
fi
echo "sanitize: tests passed and the intro ran 20 s with no report"
