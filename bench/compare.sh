#!/usr/bin/env bash
# Compares tovrel with ImageMagick on a 4096 x 4096 PNG: DDS with a full
# mipmap chain, tovrel at its automatic compression (DXT1, or DXT5 where
# alpha is soft) and ImageMagick at its defaults (DXT1, or DXT5 where the
# picture has alpha). COMPRESSION=<keyword> sets tovrel's
# --DDS-COMPRESSION, MAGICK_COMPRESSION=dxt1|dxt5 ImageMagick's. tovrel runs back to back, then interleaved with
# ImageMagick's conversion (the speed ratio comes from these); median wall
# and system time and peak memory (from /usr/bin/time -v).
#   bash bench/compare.sh [runs] [picture]   (default 5 runs each)
# picture: "plasma", "plasma-alpha" (plasma at 80 % alpha), "photo" or a file; without it an RGBA picture of
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

# Without COMPRESSION no option is given, so an older build (TOVREL_BEFORE)
# runs with the same command.
tovrel_cmd=(./build/tovrel -i "$input" -o "$work/tovrel")
[ -n "${COMPRESSION:-}" ] && tovrel_cmd+=("--dds-compression=$COMPRESSION")
"${tovrel_cmd[@]}" >/dev/null 2>&1 || true
if [ ! -f "$work/tovrel/in.dds" ]; then
  tovrel_cmd=(./build/convert_bench "$input" "$work/tovrel" ${COMPRESSION:+"$COMPRESSION"})
  echo "build/tovrel does not convert yet; measuring the engine through build/convert_bench"
fi
magick_cmd=(convert "$input")
[ -n "${MAGICK_COMPRESSION:-}" ] && magick_cmd+=(-define "dds:compression=$MAGICK_COMPRESSION")
magick_cmd+=("$work/magick/out.dds")

bench_compare "$runs"
