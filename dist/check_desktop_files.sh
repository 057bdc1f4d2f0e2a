#!/usr/bin/env bash
# Validates the menu entry and the AppStream metadata with the tools the
# desktops themselves trust.
#   check_desktop_files.sh <desktop file> <metainfo file>
# Exits 77 (skipped) when neither validator is installed.
set -uo pipefail

desktop="$1"
metainfo="$2"
ran=0
failures=0

if command -v desktop-file-validate >/dev/null; then
    ran=1
    # It prints nothing for a valid file, hints included.
    output="$(desktop-file-validate "$desktop" 2>&1)"
    if [[ $? -ne 0 || -n "$output" ]]; then
        echo "FAIL: desktop-file-validate $desktop:"
        echo "$output"
        failures=$((failures + 1))
    fi
fi
if command -v appstreamcli >/dev/null; then
    ran=1
    if ! appstreamcli validate --no-net --pedantic "$metainfo"; then
        echo "FAIL: appstreamcli validate $metainfo"
        failures=$((failures + 1))
    fi
fi
((ran)) || { echo "neither desktop-file-validate nor appstreamcli is installed"; exit 77; }
((failures == 0)) && echo "menu entry and metadata are valid"
exit $((failures > 0))
