#!/usr/bin/env bash
# Compares tovrel with ImageMagick on a 4096 x 4096 PNG: DXT1 DDS with a
# full mipmap chain. tovrel runs back to back, then interleaved with
# ImageMagick's conversion (the speed ratio comes from these); median wall
# and system time and peak memory (from /usr/bin/time -v).
#   bash bench/compare.sh [runs] [picture]   (default 5 runs each)
# picture: "plasma", "photo" or a file; without it an RGBA picture of
# gradients and shapes (bench/bench_lib.sh). TOVREL_BEFORE=<tovrel binary>
# measures another build interleaved as well.
# Uses build/tovrel when its console mode converts the file, else the
# engine driver build/convert_bench (built here with -DTOVREL_BENCH=ON).
# bench/compare_stages.sh does the same with a rotation and a resize on.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
[ -n "${2:-}" ] && export BENCH_PICTURE="$2"
source bench/bench_lib.sh
bench_setup

tovrel_cmd=(./build/tovrel -i "$input" -o "$work/tovrel")
"${tovrel_cmd[@]}" >/dev/null 2>&1 || true
if [ ! -f "$work/tovrel/in.dds" ]; then
  tovrel_cmd=(./build/convert_bench "$input" "$work/tovrel")
  echo "build/tovrel does not convert yet; measuring the engine through build/convert_bench"
fi
magick_cmd=(convert "$input" -define dds:compression=dxt1 "$work/magick/out.dds")

bench_compare "$runs"
