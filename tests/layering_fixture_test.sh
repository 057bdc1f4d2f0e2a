#!/usr/bin/env bash
# The layer check must fail, and name every offending include, on a small
# tree that breaks each rule once (tests/data/layering/src); a check that
# passes everything would otherwise go unnoticed.
set -uo pipefail
checker="$1" fixture="$2" expected="$3"
output="$(bash "$checker" "$fixture")"
status=$?
if [[ $status -ne 1 ]]; then
    echo "expected exit status 1 from the layer check, got $status"
    exit 1
fi
diff <(printf '%s\n' "$output") "$expected" || { echo "the layer check's findings differ from $expected"; exit 1; }
echo "the layer check found every planted fault"
