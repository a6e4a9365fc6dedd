#!/bin/bash
# scripts/compare-bench.sh against two stand-in builds whose benches print known tables: the
# medians, the speed-up and the range by pair; rows the two tables do not share and rows that are
# not milliseconds are left out; a bench that fails or is missing stops it with one line.
#   compare-bench-test.sh SCRIPT
set -euo pipefail
script=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
status=0
fail() {
    echo "FAILED: $1" >&2
    status=1
}

# A stand-in bench: the Nth run prints the Nth of its values for the chain row.
make_build() { # NAME VALUE... (one per run)
    mkdir -p "$dir/$1/tools/bench"
    cat >"$dir/$1/tools/bench/tidewatch-bench" <<STUB
#!/bin/bash
values=(${*:2})
count=\$(cat "$dir/$1/runs" 2>/dev/null || echo 0)
echo \$((count + 1)) >"$dir/$1/runs"
[ "\${1:-}" = --no-intro ] || { echo "stand-in: expected --no-intro, got \$*" >&2; exit 3; }
printf '%-34s %-10s %-5s %10s %-4s %s\n' measurement size time value unit note
printf '%-34s %-10s %-5s %10.2f %-4s %s\n' 'whole chain and final draw' 640x360 3s "\${values[\$count]}" ms 'median of 15 frames'
printf '%-34s %-10s %-5s %10.2f %-4s %s\n' 'scene speed-up' 640x360 3s 7.5 x 'plain / scene program'
printf '%-34s %-10s %-5s %10.2f %-4s %s\n' 'only in $1' - - 1 ms ''
STUB
    chmod +x "$dir/$1/tools/bench/tidewatch-bench"
}

make_build before 30 20 26
make_build after 20 20 13
out=$("$script" "$dir/before" "$dir/after" 3)
row=$(grep '^whole chain and final draw' <<<"$out" || true)
# Medians 26 and 20; pairs 30/20, 20/20 and 26/13.
[[ $row =~ 640x360\ +3s\ +26\.00\ +20\.00\ +1\.30x\ 1\.00-2\.00x$ ]] || fail "chain row: '$row'"
grep -q 'speed-up\|only in' <<<"$(tail -n +2 <<<"$out")" && fail "rows not shared or not ms: $out"
if [ "$(cat "$dir/before/runs")" != 3 ] || [ "$(cat "$dir/after/runs")" != 3 ]; then
    fail "each bench should run once a pair"
fi

# Failures: one line on standard error, status 1, nothing on standard output.
printf '#!/bin/bash\nexit 4\n' >"$dir/after/tools/bench/tidewatch-bench"
if out=$("$script" "$dir/before" "$dir/after" 1 2>"$dir/err"); then fail "a failing bench passed"; fi
if [ -n "$out" ] || [ "$(wc -l <"$dir/err")" != 1 ] || ! grep -q "bench failed in pair 1" "$dir/err"; then
    fail "failing bench: '$out' / '$(cat "$dir/err")'"
fi
if "$script" "$dir/before" "$dir/none" 2>"$dir/err" >/dev/null; then fail "a missing build passed"; fi
grep -q "no $dir/none/tools/bench/tidewatch-bench" "$dir/err" || fail "missing build: $(cat "$dir/err")"
if "$script" "$dir/before" "$dir/after" 0 2>"$dir/err" >/dev/null; then fail "0 pairs passed"; fi
exit $status
