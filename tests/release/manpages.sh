#!/bin/bash
# The manual pages render without warnings; the recorder's page names exactly the options and
# exit statuses that its --help prints, and the intro's page every start-up failure line.
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
    man -l "$1" 2>/dev/null | col -b | awk -v name="$2" '
        /^[A-Z]/ { inside = ($0 == name); next }
        inside'
}

# Options: the tags at the start of --help lines against the tags of the OPTIONS entries.
help_options=$(without_display "$recorder" --help | grep -oE '^ +(-[a-z], )?--[a-z-]+' |
    grep -oE -- '-{1,2}[a-z-]+' | sort)
page_options=$(section "$record_page" OPTIONS | grep -oE '^ {7}(-[a-z], )?--[a-z-]+' |
    grep -oE -- '-{1,2}[a-z-]+' | sort)
[ -n "$help_options" ] || fail "no options found in --help"
[ "$help_options" = "$page_options" ] ||
    fail "options in --help (<) and in the page (>) differ:$(diff <(echo "$help_options") <(echo "$page_options"))"

# Exit statuses that --help names are all explained in EXIT STATUS.
help_statuses=$(without_display "$recorder" --help | grep -oE 'Exit status:.*' |
    grep -oE '\b[0-9]+ [a-z]' | cut -d' ' -f1)
[ -n "$help_statuses" ] || fail "no exit statuses found in --help"
page_statuses=$(section "$record_page" "EXIT STATUS" | grep -oE '^ {7}[0-9]+' | tr -d ' ')
for status in $help_statuses; do
    grep -qx "$status" <<<"$page_statuses" || fail "exit status $status is not in the page"
done

# Every fixed start-up failure line in the intro's sources is listed in its DIAGNOSTICS.
diagnostics=$(section "$intro_page" DIAGNOSTICS)
lines=$(grep -rhoE '(failStartup\(|failure = )"[^"]+"' "$src/src" | cut -d'"' -f2 | sort -u)
[ -n "$lines" ] || fail "no start-up failure lines found in $src/src"
while IFS= read -r line; do
    grep -qxF "       $line" <<<"$diagnostics" || fail "'$line' is not in the DIAGNOSTICS of tidewatch(6)"
done <<<"$lines"
section "$intro_page" KEYS | grep -q Escape || fail "the KEYS of tidewatch(6) do not name Escape"
echo "ok: $(wc -l <<<"$help_options") options, $(wc -w <<<"$help_statuses") statuses, $(wc -l <<<"$lines") failure lines"
