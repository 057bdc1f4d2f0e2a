#!/usr/bin/env bash
# Like bench/compare.sh, with two geometry stages switched on: a rotation
# by 30 degrees (enlarging, uncovered corners transparent) and a resize to
# 3000 x 3000 without keeping the proportions. ImageMagick does the same:
# -background none -rotate 30 -resize 3000x3000!, DXT1.
#   bash bench/compare_stages.sh [runs] [size]   (default 5 runs, 3000)
# ImageMagick 6 writes a mipmap chain only for power-of-two sizes, so at
# 3000 it saves one level against tovrel's twelve; a size of 2048 makes
# both write the full chain. The mip counts are printed with the figures.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
size="${2:-3000}"
source bench/bench_lib.sh
bench_setup

tovrel_cmd=(./build/tovrel -i "$input" -o "$work/tovrel" --rotation=30 "--width=$size" "--height=$size")
magick_cmd=(convert "$input" -background none -rotate 30 -resize "${size}x${size}!"
            -define dds:compression=dxt1 "$work/magick/out.dds")

"${tovrel_cmd[@]}" >"$work/check.log" 2>&1 || true
if [ ! -f "$work/tovrel/in.dds" ]; then
  echo "build/tovrel did not convert with stages on:" >&2
  cat "$work/check.log" >&2
  exit 1
fi

bench_compare "$runs"
