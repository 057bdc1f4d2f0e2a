#!/usr/bin/env bash
# Compares tovrel with ImageMagick on a 4096 x 4096 RGBA PNG: DXT1 DDS with
# a full mipmap chain, alternating runs, median wall time and peak memory
# (maximum resident set size from /usr/bin/time -v).
#   bash bench/compare.sh [runs]       (default 5 runs each)
# Uses build/tovrel when its console mode converts the file, else the
# engine driver build/convert_bench (built here with -DTOVREL_BENCH=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
work="$(mktemp -d /tmp/tovrel-bench-XXXXXX)"
trap 'rm -rf "$work"' EXIT

command -v convert >/dev/null || { echo "ImageMagick 'convert' is needed" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is needed (package 'time')" >&2; exit 1; }

cmake -S . -B build -DTOVREL_BENCH=ON >/dev/null
cmake --build build -j2 --target tovrel convert_bench >/dev/null

input="$work/in.png"
if [ ! -f "$input" ]; then
  # Smooth gradients, hard-edged shapes and a transparent border: a texture
  # with the kind of content DXT1 blocks meet in practice.
  convert -size 4096x4096 gradient:'#203a80'-'#f0c040' \
    \( -size 4096x4096 xc:none -fill '#c0304080' -draw "circle 2048,2048 2048,400" \
       -fill '#20a060' -draw "rectangle 300,300 1500,1500" \) -compose over -composite \
    \( -size 4096x4096 xc:none -fill white -draw "roundrectangle 0,0 4095,4095 300,300" \) -compose DstIn -composite \
    -depth 8 -define png:color-type=6 "$input"
fi

mkdir -p "$work/tovrel" "$work/magick"
tovrel_cmd=(./build/tovrel -i "$input" -o "$work/tovrel")
"${tovrel_cmd[@]}" >/dev/null 2>&1 || true
if [ ! -f "$work/tovrel/in.dds" ]; then
  tovrel_cmd=(./build/convert_bench "$input" "$work/tovrel")
  echo "build/tovrel does not convert yet; measuring the engine through build/convert_bench"
fi
magick_cmd=(convert "$input" -define dds:compression=dxt1 "$work/magick/out.dds")

measure() {  # prints "seconds kilobytes" of one run
  local log="$work/time.log"
  /usr/bin/time -v "$@" >/dev/null 2>"$log"
  local wall rss
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$log" | awk -F: '{ if (NF==3) print $1*3600+$2*60+$3; else print $1*60+$2 }')
  rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$log")
  echo "$wall $rss"
}

median() { sort -g | awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'; }

: >"$work/tovrel.times"; : >"$work/magick.times"
for ((i = 1; i <= runs; i++)); do
  rm -f "$work"/tovrel/* "$work"/magick/*
  measure "${tovrel_cmd[@]}" >>"$work/tovrel.times"
  measure "${magick_cmd[@]}" >>"$work/magick.times"
done

t_med=$(cut -d' ' -f1 "$work/tovrel.times" | median)
m_med=$(cut -d' ' -f1 "$work/magick.times" | median)
t_rss=$(cut -d' ' -f2 "$work/tovrel.times" | sort -n | tail -1)
m_rss=$(cut -d' ' -f2 "$work/magick.times" | sort -n | tail -1)
ls -l "$work/tovrel" "$work/magick" | grep dds || true

echo "runs each:              $runs (alternating)"
echo "tovrel median:          ${t_med} s"
echo "ImageMagick median:     ${m_med} s"
awk -v t="$t_med" -v m="$m_med" 'BEGIN { if (t > 0) printf "speed ratio:            %.2fx (ImageMagick time / tovrel time)\n", m / t }'
echo "tovrel peak memory:     ${t_rss} KB"
echo "ImageMagick peak memory: ${m_rss} KB"
