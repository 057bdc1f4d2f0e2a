# Shared by bench/compare.sh and bench/compare_stages.sh: builds the
# binaries, makes the 4096 x 4096 RGBA test picture, and measures two
# commands in alternating runs (median wall time, peak resident memory
# from /usr/bin/time -v). Source it from the repository root.

bench_setup() {  # sets $work and $input
  command -v convert >/dev/null || { echo "ImageMagick 'convert' is needed" >&2; exit 1; }
  [ -x /usr/bin/time ] || { echo "/usr/bin/time is needed (package 'time')" >&2; exit 1; }
  work="$(mktemp -d /tmp/tovrel-bench-XXXXXX)"
  trap 'rm -rf "$work"' EXIT
  # A private single-instance lock: a tovrel started by someone else on
  # this machine would otherwise make every measured run end at once.
  export XDG_RUNTIME_DIR="$work/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  cmake -S . -B build -DTOVREL_BENCH=ON >/dev/null
  cmake --build build -j2 --target tovrel convert_bench >/dev/null
  input="$work/in.png"
  # Smooth gradients, hard-edged shapes and a transparent border: a texture
  # with the kind of content DXT1 blocks meet in practice.
  convert -size 4096x4096 gradient:'#203a80'-'#f0c040' \
    \( -size 4096x4096 xc:none -fill '#c0304080' -draw "circle 2048,2048 2048,400" \
       -fill '#20a060' -draw "rectangle 300,300 1500,1500" \) -compose over -composite \
    \( -size 4096x4096 xc:none -fill white -draw "roundrectangle 0,0 4095,4095 300,300" \) -compose DstIn -composite \
    -depth 8 -define png:color-type=6 "$input"
  mkdir -p "$work/tovrel" "$work/magick"
}

bench_measure() {  # prints "seconds kilobytes" of one run of "$@"
  local log="$work/time.log"
  /usr/bin/time -v "$@" >/dev/null 2>"$log"
  local wall rss
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$log" | awk -F: '{ if (NF==3) print $1*3600+$2*60+$3; else print $1*60+$2 }')
  rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$log")
  echo "$wall $rss"
}

bench_mip_levels() {  # mip count from a DDS header (bytes 28-31, little endian)
  od -An -t u4 -j 28 -N 4 "$1" | tr -d ' '
}

bench_median() { sort -g | awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'; }

# Runs the arrays tovrel_cmd and magick_cmd alternately, $1 times each, and
# prints the comparison. Every run starts with empty output folders.
bench_compare() {
  local runs="$1" i
  : >"$work/tovrel.times"; : >"$work/magick.times"
  for ((i = 1; i <= runs; i++)); do
    rm -f "$work"/tovrel/* "$work"/magick/*
    bench_measure "${tovrel_cmd[@]}" >>"$work/tovrel.times"
    bench_measure "${magick_cmd[@]}" >>"$work/magick.times"
    if ! ls "$work"/tovrel/*.dds >/dev/null 2>&1 || ! ls "$work"/magick/*.dds >/dev/null 2>&1; then
      echo "run $i wrote no DDS file; the figures would be meaningless" >&2
      exit 1
    fi
  done
  local t_med m_med t_rss m_rss
  t_med=$(cut -d' ' -f1 "$work/tovrel.times" | bench_median)
  m_med=$(cut -d' ' -f1 "$work/magick.times" | bench_median)
  t_rss=$(cut -d' ' -f2 "$work/tovrel.times" | sort -n | tail -1)
  m_rss=$(cut -d' ' -f2 "$work/magick.times" | sort -n | tail -1)
  local file
  for file in "$work"/tovrel/*.dds "$work"/magick/*.dds; do
    [ -f "$file" ] && echo "$(basename "$(dirname "$file")") output: $(stat -c %s "$file") bytes, $(bench_mip_levels "$file") mip levels"
  done
  echo "tovrel times (s):       $(cut -d' ' -f1 "$work/tovrel.times" | tr '\n' ' ')"
  echo "ImageMagick times (s):  $(cut -d' ' -f1 "$work/magick.times" | tr '\n' ' ')"
  echo "runs each:              $runs (alternating)"
  echo "tovrel median:          ${t_med} s"
  echo "ImageMagick median:     ${m_med} s"
  awk -v t="$t_med" -v m="$m_med" 'BEGIN { if (t > 0) printf "speed ratio:            %.2fx (ImageMagick time / tovrel time)\n", m / t }'
  echo "tovrel peak memory:     ${t_rss} KB"
  echo "ImageMagick peak memory: ${m_rss} KB"
}
