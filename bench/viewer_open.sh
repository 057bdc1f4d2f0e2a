#!/usr/bin/env bash
# Time from `tovrel FILE.dds` to the viewer's first finished paint, and the
# program's peak memory then, on a virtual display of its own:
#   bash bench/viewer_open.sh FILE.dds [runs]
# With TOVREL_VIEWER_TIMING set the program prints the moments of opening
# ("viewer <moment> at <us>"); each is shown in ms since the command. The
# peak (VmHWM) is read before the program is ended with SIGTERM.
set -euo pipefail
file="$(realpath "$1")"
runs="${2:-5}"
binary="$(cd "$(dirname "$0")/.." && pwd)/build/tovrel"
work="$(mktemp -d)"
trap 'kill "${xvfb:-0}" 2>/dev/null; rm -rf "$work"' EXIT
display=":$((90 + RANDOM % 400))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
for run in $(seq "$runs"); do
    mkdir -p -m 700 "$work/$run/runtime" "$work/$run/config" "$work/$run/home"
    start=$(date +%s%6N)
    DISPLAY="$display" XDG_RUNTIME_DIR="$work/$run/runtime" XDG_CONFIG_HOME="$work/$run/config" \
        HOME="$work/$run/home" TOVREL_VIEWER_TIMING=1 "$binary" "$file" 2>"$work/$run/stderr" &
    pid=$!
    for _ in $(seq 600); do grep -q "viewer painted" "$work/$run/stderr" && break; sleep 0.05; done
    painted=$(sed -n 's/^viewer painted at \([0-9]*\) us$/\1/p' "$work/$run/stderr")
    peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    kill -TERM "$pid"; wait "$pid" || true
    moments=$(sed -n 's/^viewer \(.*\) at \([0-9]*\) us$/\1 \2/p' "$work/$run/stderr" |
        awk -v start="$start" '{t = $NF; $NF = ""; printf "%s%d, ", $0, (t - start) / 1000}')
    echo "run $run: shown after $(( (painted - start) / 1000 )) ms, peak ${peak} KiB (${moments%, })"
done
