#!/usr/bin/env bash
# Renders the manual page as man and lintian do and fails on any warning
# (a line that cannot be broken, an unknown request, a bad escape).
#   check_man_page.sh <page source>
# Exits 77 (skipped) when groff is not installed.
set -uo pipefail

page="$1"
command -v groff >/dev/null || { echo "groff is not installed"; exit 77; }

failures=0
check() {
    local what="$1" warnings
    shift
    warnings="$("$@" 2>&1 >/dev/null)"
    if [[ -n "$warnings" ]]; then
        echo "FAIL: $what:"
        echo "$warnings"
        failures=$((failures + 1))
    fi
}

check "groff -man -Tutf8 -ww" groff -man -Tutf8 -ww -z "$page"
if command -v man >/dev/null; then
    # What lintian runs, at the width of a usual terminal.
    export LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80
    check "man --warnings" man --warnings -E UTF-8 -l -Tutf8 -Z "$page"
fi
((failures == 0)) && echo "manual page renders without warnings"
exit $((failures > 0))
