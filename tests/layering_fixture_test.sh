#!/usr/bin/env bash
# The layer check must fail, and name every offending include and every
# circle of files inside a folder, on a small tree that breaks each rule
# once (tests/data/layering/src), and pass the real tree; a check that
# passes everything, or refuses everything, would otherwise go unnoticed.
set -uo pipefail
checker="$1" fixture="$2" expected="$3" real_tree="$4"
output="$(bash "$checker" "$fixture")"
status=$?
if [[ $status -ne 1 ]]; then
    echo "expected exit status 1 from the layer check, got $status"
    exit 1
fi
diff <(printf '%s\n' "$output") "$expected" || { echo "the layer check's findings differ from $expected"; exit 1; }
real_output="$(bash "$checker" "$real_tree")" || {
    printf '%s\n' "$real_output"
    echo "the layer check refuses the real tree $real_tree"
    exit 1
}
echo "the layer check found every planted fault and passes the real tree"
