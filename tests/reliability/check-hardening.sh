#!/bin/bash
# Checks from the ELF headers that each executable given was built hardened.
#   check-hardening.sh EXECUTABLE...
set -u
failed=0
for exe in "$@"; do
    problems=()
    header=$(readelf -hW "$exe") || { echo "$exe: not an ELF file"; failed=1; continue; }
    dynamic=$(readelf -dW "$exe")
    segments=$(readelf -lW "$exe")
    symbols=$(readelf -sW --dyn-syms "$exe")
    grep -Eq 'Type:[[:space:]]+DYN' <<<"$header" || problems+=("not position-independent")
    grep -q 'GNU_RELRO' <<<"$segments" || problems+=("no GNU_RELRO segment")
    grep -Eq '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' <<<"$dynamic" ||
        problems+=("no BIND_NOW: RELRO is only partial")
    grep -Eq 'FLAGS_1.*PIE' <<<"$dynamic" || problems+=("FLAGS_1 lacks PIE")
    grep -q '__stack_chk_fail' <<<"$symbols" || problems+=("no stack protector")
    fortified=$(grep -oE '__[a-z_]+_chk\b' <<<"$symbols" | grep -v __stack_chk_fail | sort -u)
    [ -n "$fortified" ] || problems+=("no fortified calls (__*_chk)")
    if [ ${#problems[@]} -eq 0 ]; then
        echo "$(basename "$exe"): PIE, full RELRO, stack protector, fortified:" $fortified
    else
        for p in "${problems[@]}"; do echo "$exe: $p"; done
        failed=1
    fi
done
exit $failed
