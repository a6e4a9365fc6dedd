#!/bin/bash
# Compares two builds' benchmark tables. Runs BEFORE's and then AFTER's tidewatch-bench, PAIRS
# times in turn, so that a machine whose speed drifts (a shared virtual machine) slows both alike,
# and prints for each row of milliseconds that both tables have: the median of each build's
# values, AFTER's speed-up as the ratio of the medians, and the lowest and highest ratio within
# one pair.
#   scripts/compare-bench.sh BEFORE_BUILD AFTER_BUILD [PAIRS [BENCH_OPTION...]]
# Default 3 pairs and --no-intro; the bench draws offscreen, so DISPLAY is cleared.
set -euo pipefail
if [ $# -lt 2 ]; then
    echo "usage: compare-bench.sh BEFORE_BUILD AFTER_BUILD [PAIRS [BENCH_OPTION...]]" >&2
    exit 2
fi
builds=("$1" "$2")
pairs=${3:-3}
shift $(($# < 3 ? $# : 3))
options=("$@")
[ ${#options[@]} -gt 0 ] || options=(--no-intro)
if ! [[ $pairs =~ ^[1-9][0-9]*$ ]]; then
    echo "compare-bench: PAIRS must be a whole number from 1: $pairs" >&2
    exit 2
fi
for build in "${builds[@]}"; do
    if [ ! -x "$build/tools/bench/tidewatch-bench" ]; then
        echo "compare-bench: no $build/tools/bench/tidewatch-bench (build the tidewatch-bench target)" >&2
        exit 1
    fi
done

tables=$(mktemp -d)
trap 'rm -rf "$tables"' EXIT
for ((pair = 1; pair <= pairs; pair++)); do
    for side in 0 1; do
        if ! DISPLAY='' "${builds[$side]}/tools/bench/tidewatch-bench" "${options[@]}" \
            >"$tables/$side.$pair"; then
            echo "compare-bench: ${builds[$side]}'s bench failed in pair $pair" >&2
            exit 1
        fi
    done
done

# The bench's rows are fixed-width: measurement (34), size (10), time (5), value (10), unit.
awk -v pairs="$pairs" '
function trim(s) { sub(/^ +/, "", s); sub(/ +$/, "", s); return s }
function median(side, key,    n, i, j, v, t) {
    n = 0
    for (i = 1; i <= pairs; i++)
        if ((side, key, i) in value) v[++n] = value[side, key, i]
    for (i = 2; i <= n; i++)
        for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
}
FNR == 1 { split(FILENAME, name, "/"); split(name[length(name)], part, "."); side = part[1]; pair = part[2] }
trim(substr($0, 64, 4)) == "ms" {
    key = trim(substr($0, 1, 34)) SUBSEP trim(substr($0, 36, 10)) SUBSEP trim(substr($0, 47, 5))
    value[side, key, pair] = trim(substr($0, 53, 10)) + 0
    if (side == 1 && !(key in seen)) { seen[key] = 1; order[++rows] = key }
}
END {
    printf "%-34s %-10s %-5s %10s %10s %8s %s\n", "measurement", "size", "time", "before", "after",
        "speed-up", "range by pair"
    for (r = 1; r <= rows; r++) {
        key = order[r]
        if (!((0, key, 1) in value)) continue
        low = high = 0
        for (i = 1; i <= pairs; i++) {
            if (!((0, key, i) in value) || !((1, key, i) in value) || value[1, key, i] == 0) continue
            ratio = value[0, key, i] / value[1, key, i]
            if (low == 0 || ratio < low) low = ratio
            if (ratio > high) high = ratio
        }
        before = median(0, key); after = median(1, key)
        split(key, field, SUBSEP)
        printf "%-34s %-10s %-5s %10.2f %10.2f %7.2fx %.2f-%.2fx\n", field[1], field[2], field[3],
            before, after, (after > 0 ? before / after : 0), low, high
    }
}' "$tables"/0.* "$tables"/1.*
