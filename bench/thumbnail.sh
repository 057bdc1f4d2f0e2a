#!/usr/bin/env bash
# How long a file manager waits for the thumbnail of a large texture:
# a 4096 x 4096 DDS file written by build/tovrel (the picture of
# bench_lib.sh, $BENCH_PICTURE chooses another), thumbnailed at 256 by the
# real binary, run after run. Prints the median wall time and peak memory
# (/usr/bin/time). The goal is at most 50 ms: only the 256 x 256 level is
# read and decoded, never the 4096 x 4096 top.
#   bash bench/thumbnail.sh [runs] [compression]
# compression: auto (default), dxt1, dxt5, bc7 or none.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench_lib.sh
runs=${1:-9}
compression=${2:-auto}
bench_setup
./build/tovrel -i "$input" -o "$work/tovrel" -q --dds-compression="$compression"
dds="$work/tovrel/in.dds"
[ -f "$dds" ] || { echo "build/tovrel wrote no DDS file" >&2; exit 1; }
echo "input: $(stat -c %s "$dds") bytes, $(bench_mip_levels "$dds") levels, compression $compression"

for ((run = 1; run <= runs; run++)); do
  bench_measure ./build/tovrel --thumbnail "$dds" "$work/thumb.png" 256 >>"$work/thumbnail.times"
  [ -s "$work/thumb.png" ] || { echo "run $run wrote no thumbnail" >&2; exit 1; }
done
file "$work/thumb.png" | sed 's|.*: |thumbnail: |'
printf 'median of %d runs: wall %.0f ms, system %.0f ms, peak memory %d KiB\n' "$runs" \
  "$(awk '{print $1 * 1000}' "$work/thumbnail.times" | bench_median)" \
  "$(awk '{print $2 * 1000}' "$work/thumbnail.times" | bench_median)" \
  "$(bench_column_median thumbnail 3)"
