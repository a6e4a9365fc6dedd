#!/bin/bash
# The manual pages render without warnings; the recorder's page names exactly the options that
# its --help prints and every exit status, and the intro's page every start-up failure line.
# Usage: manpages.sh MAN_DIR RECORDER SOURCE_DIR
set -euo pipefail
source "$(dirname "$0")/common.sh"
mandir=$1 recorder=$2 src=$3
intro_page=$mandir/tidewatch.6 record_page=$mandir/tidewatch-record.1
export MANWIDTH=80 LC_ALL=C.UTF-8

for page in "$intro_page" "$record_page"; do
    warnings=$(man --warnings -l "$page" 2>&1 >/dev/null) || fail "man cannot render $page"
    [ -z "$warnings" ] || fail "$page renders with warnings: $warnings"
done

# The text of one section of a rendered page (from its heading to the next one).
section() {
    man -l "$1" 2>/dev/null | col -b | awk -v name="$2" '/^[A-Z]/ { inside = ($0 == name); next } inside'
}

# Option tags at the start of --help lines and of the OPTIONS entries.
tags() { grep -oE "^ +(-[a-z], )?--[a-z-]+" | grep -oE -- '-{1,2}[a-z-]+' | sort; }
help_options=$(without_display "$recorder" --help | tags)
[ -n "$help_options" ] || fail "no options found in --help"
expect_equal "options in --help and the page" "$help_options" "$(section "$record_page" OPTIONS | tags)"
expect_equal "exit statuses" "0 1 2 130 143" \
    "$(section "$record_page" "EXIT STATUS" | grep -oE '^ {7}[0-9]+( |$)' | awk '{print $1}' | paste -sd' ')"

# Every fixed start-up failure line in the intro's sources is listed in its DIAGNOSTICS.
diagnostics=$(section "$intro_page" DIAGNOSTICS)
lines=$(grep -rhoE '(failStartup\(|failure = )"[^"]+"' "$src/src" | cut -d'"' -f2 | sort -u)
[ -n "$lines" ] || fail "no start-up failure lines found in $src/src"
while IFS= read -r line; do
    grep -qxF "       $line" <<<"$diagnostics" || fail "'$line' is not in the DIAGNOSTICS of tidewatch(6)"
done <<<"$lines"
section "$intro_page" KEYS | grep -q Escape || fail "the KEYS of tidewatch(6) do not name Escape"
echo "ok: $(wc -l <<<"$help_options") options, $(wc -l <<<"$lines") failure lines"
