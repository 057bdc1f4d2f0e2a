# Shared by bench/compare.sh and bench/compare_stages.sh: builds the
# binaries, makes the 4096 x 4096 test picture, and measures tovrel back to
# back and interleaved with ImageMagick (median wall and system time, peak
# resident memory from /usr/bin/time -v). Source it from the repository
# root.
#
# The picture: $BENCH_PICTURE names a file (any format ImageMagick reads,
# stored as 8-bit PNG), or "plasma" (4096 x 4096 fractal plasma, fixed
# seed), or "plasma-alpha" (the same at 80 % alpha), or "photo" (the BytheWater photograph of the Debian package
# plasma-workspace-wallpapers, stretched to 4096 x 4096); unset, it is an
# RGBA picture of gradients, shapes and a transparent border.
# $TOVREL_BEFORE names another tovrel binary (an older build, say) that is
# measured interleaved as well, each run after an ImageMagick run of its
# own, so both builds meet the same conditions.

bench_make_picture() {  # $1: where
  case "${BENCH_PICTURE:-}" in
    plasma) convert -seed 1 -size 4096x4096 plasma:fractal -depth 8 "$1" ;;
    plasma-alpha)
      convert -seed 1 -size 4096x4096 plasma:fractal -alpha set -channel A -evaluate set 80% +channel -depth 8 \
        -define png:color-type=6 "$1" ;;
    photo)
      local photo=/usr/share/wallpapers/BytheWater/contents/images/2560x1600.jpg
      [ -f "$photo" ] || { echo "$photo is missing (package plasma-workspace-wallpapers)" >&2; exit 1; }
      convert "$photo" -resize '4096x4096!' -depth 8 "$1" ;;
    ?*) convert "$BENCH_PICTURE" -depth 8 "$1" ;;
    *)
      # Smooth gradients, hard-edged shapes and a transparent border: a texture
      # with the kind of content DXT1 blocks meet in practice.
      convert -size 4096x4096 gradient:'#203a80'-'#f0c040' \
        \( -size 4096x4096 xc:none -fill '#c0304080' -draw "circle 2048,2048 2048,400" \
           -fill '#20a060' -draw "rectangle 300,300 1500,1500" \) -compose over -composite \
        \( -size 4096x4096 xc:none -fill white -draw "roundrectangle 0,0 4095,4095 300,300" \) -compose DstIn -composite \
        -depth 8 -define png:color-type=6 "$1" ;;
  esac
}

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
  bench_make_picture "$input"
  mkdir -p "$work/tovrel" "$work/magick" "$work/before"
}

bench_measure() {  # prints "wall-seconds system-seconds kilobytes user-seconds" of one run of "$@"
  local log="$work/time.log"
  /usr/bin/time -v "$@" >/dev/null 2>"$log"
  local wall sys rss user
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$log" | awk -F: '{ if (NF==3) print $1*3600+$2*60+$3; else print $1*60+$2 }')
  sys=$(awk -F': ' '/System time \(seconds\)/ {print $2}' "$log")
  rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$log")
  user=$(awk -F': ' '/User time \(seconds\)/ {print $2}' "$log")
  echo "$wall $sys $rss $user"
}

bench_mip_levels() {  # mip count from a DDS header (bytes 28-31, little endian)
  od -An -t u4 -j 28 -N 4 "$1" | tr -d ' '
}

bench_median() { sort -g | awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'; }

bench_column() { cut -d' ' -f"$2" "$work/$1.times"; }  # one field of every run
bench_column_median() { bench_column "$1" "$2" | bench_median; }
# Processor time (user + system) of every run: on a machine shared with
# other work it moves far less than the wall time.
bench_cpu_median() { awk '{print $2 + $4}' "$work/$1.times" | bench_median; }

bench_check_outputs() {  # $1: the run, then the output folders that must hold a DDS file
  local run="$1" folder
  shift
  for folder in "$@"; do
    if ! ls "$work/$folder"/*.dds >/dev/null 2>&1; then
      echo "run $run wrote no DDS file in $folder; the figures would be meaningless" >&2
      exit 1
    fi
  done
}

# Measures the arrays tovrel_cmd and magick_cmd, $1 runs of each phase:
#  - back to back: tovrel alone, run after run, each finding the memory the
#    previous run gave back;
#  - interleaved: ImageMagick's conversion between tovrel runs, as on a
#    user's machine where other programs use the memory in between. This is
#    the case that counts; the speed ratio is taken from it.
# Every run starts with empty output folders.
bench_compare() {
  local runs="$1" i
  : >"$work/alone.times"; : >"$work/tovrel.times"; : >"$work/magick.times"; : >"$work/before.times"
  local before_cmd=()
  if [ -n "${TOVREL_BEFORE:-}" ]; then
    before_cmd=("$TOVREL_BEFORE" "${tovrel_cmd[@]:1}")
    before_cmd=("${before_cmd[@]/#$work\/tovrel/$work/before}")
  fi
  for ((i = 1; i <= runs; i++)); do
    rm -f "$work"/tovrel/*
    bench_measure "${tovrel_cmd[@]}" >>"$work/alone.times"
    bench_check_outputs "$i" tovrel
  done
  for ((i = 1; i <= runs; i++)); do
    rm -f "$work"/tovrel/* "$work"/magick/*
    bench_measure "${magick_cmd[@]}" >>"$work/magick.times"
    bench_measure "${tovrel_cmd[@]}" >>"$work/tovrel.times"
    bench_check_outputs "$i" tovrel magick
    if [ ${#before_cmd[@]} -gt 0 ]; then
      rm -f "$work"/before/* "$work"/magick/*
      bench_measure "${magick_cmd[@]}" >>"$work/magick.times"
      bench_measure "${before_cmd[@]}" >>"$work/before.times"
      bench_check_outputs "$i" before magick
    fi
  done
  local file
  for file in "$work"/tovrel/*.dds "$work"/magick/*.dds; do
    [ -f "$file" ] && echo "$(basename "$(dirname "$file")") output: $(stat -c %s "$file") bytes, $(bench_mip_levels "$file") mip levels"
  done
  echo "runs each:                         $runs"
  local name label names=(alone tovrel magick)
  [ ${#before_cmd[@]} -gt 0 ] && names+=(before)
  for name in "${names[@]}"; do
    case "$name" in
      alone) label="tovrel back to back" ;;
      tovrel) label="tovrel interleaved" ;;
      magick) label="ImageMagick" ;;
      before) label="before build interleaved" ;;
    esac
    printf '%-34s %s\n' "$label wall (s):" "$(bench_column "$name" 1 | tr '\n' ' ')"
    printf '%-34s %s\n' "$label system (s):" "$(bench_column "$name" 2 | tr '\n' ' ')"
    printf '%-34s %s s wall, %s s system, %s s processor\n' "$label median:" "$(bench_column_median "$name" 1)" \
      "$(bench_column_median "$name" 2)" "$(bench_cpu_median "$name")"
  done
  local t_med a_med m_med
  t_med=$(bench_column_median tovrel 1)
  a_med=$(bench_column_median alone 1)
  m_med=$(bench_column_median magick 1)
  awk -v t="$t_med" -v m="$m_med" 'BEGIN { if (t > 0) printf "speed ratio, interleaved:          %.2fx (ImageMagick time / tovrel time)\n", m / t }'
  awk -v t="$a_med" -v m="$m_med" 'BEGIN { if (t > 0) printf "speed ratio, back to back:         %.2fx (flatters tovrel: no other program ran between)\n", m / t }'
  if [ ${#before_cmd[@]} -gt 0 ]; then
    local b_med
    b_med=$(bench_column_median before 1)
    awk -v b="$b_med" -v m="$m_med" 'BEGIN { if (b > 0) printf "speed ratio, before build:         %.2fx (ImageMagick time / before time)\n", m / b }'
    awk -v b="$b_med" -v t="$t_med" 'BEGIN { if (t > 0) printf "speed-up over the before build:    %.2fx\n", b / t }'
    echo "before build peak memory:          $(bench_column before 3 | sort -n | tail -1) KB"
  fi
  echo "tovrel peak memory:                $(cat "$work/alone.times" "$work/tovrel.times" | cut -d' ' -f3 | sort -n | tail -1) KB"
  echo "ImageMagick peak memory:           $(bench_column magick 3 | sort -n | tail -1) KB"
}
