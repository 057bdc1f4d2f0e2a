#!/usr/bin/env bash
# Quality of tovrel's DDS files against ImageMagick's DXT1 writer and
# NVIDIA Texture Tools (`nvcompress -fast -bc1`, package libnvtt-bin,
# skipped when missing), on a set built here: plasma and a gradient
# (ImageMagick), an icon atlas with soft-edged alpha, a painting with a
# soft-edged alpha mask, plasma at 80 % alpha, and, where the Debian
# packages are installed, photographs (a forest path among them) and a
# painting from plasma-workspace-wallpapers and a wood texture from gnome-backgrounds
# (skipped otherwise). Pictures with alpha also get ImageMagick's DXT5
# ("magick5") and `nvcompress -fast -bc3` ("nvtt5"); every picture gets
# tovrel's BC7 ("bc7").
#   bash bench/quality.sh                     (tovrel = build/convert_bench)
#   TOVREL_BEFORE=/path/to/convert_bench bash bench/quality.sh
# adds a column for another build of the engine (an older one, say);
#   bash bench/quality.sh '@(icons|plasma80|softalpha)*'
# measures only the pictures whose names match the pattern.
# Every level is decoded by the tests' DDS reader (build/dds_quality); per
# writer the table shows the PSNR in dB of levels 0-4 against the exported
# pixels and their box-filtered chain, "own" the PSNR of level 1 against
# the 2 x 2 box of the writer's own level 0, and "alpha%" the pixels of
# level 0 whose opaque/transparent state is wrong, "c0" and "c1" the PSNR of
# levels 0 and 1 composited over mid grey (what counts for alpha). A "-" is a level the
# writer did not store (ImageMagick 6 stores one level for sizes that are
# not powers of two).
set -euo pipefail
shopt -s extglob
cd "$(dirname "$0")/.."
command -v convert >/dev/null || { echo "ImageMagick 'convert' is needed" >&2; exit 1; }
work="$(mktemp -d /tmp/tovrel-quality-XXXXXX)"
trap 'rm -rf "$work"' EXIT
cmake -S . -B build -DTOVREL_BENCH=ON >/dev/null
cmake --build build -j2 --target convert_bench dds_quality >/dev/null

make_set() {
  local set="$work/set"
  mkdir -p "$set"
  convert -seed 1 -size 4096x4096 plasma:fractal -depth 8 "$set/plasma-4096.png"
  convert -size 2048x2048 gradient:'#102a60'-'#f0d090' \( -size 2048x2048 radial-gradient:'#ffffff'-'#606060' \) \
    -compose multiply -composite -depth 8 "$set/gradient-2048.png"
  # 64 icons of 128 x 128: discs, rounded squares and triangles in many
  # colours with anti-aliased edges on a transparent ground.
  local draw=() i x y colour
  for ((i = 0; i < 64; i++)); do
    x=$((i % 8 * 128)); y=$((i / 8 * 128))
    colour=$(printf '#%02x%02x%02x' $((i * 37 % 256)) $((i * 91 % 256)) $((255 - i * 53 % 256)))
    draw+=(-fill "$colour" -stroke '#202020' -strokewidth 3)
    case $((i % 3)) in
      0) draw+=(-draw "circle $((x + 64)),$((y + 64)) $((x + 64)),$((y + 14))") ;;
      1) draw+=(-draw "roundrectangle $((x + 14)),$((y + 14)) $((x + 113)),$((y + 113)) 20,20") ;;
      2) draw+=(-draw "polygon $((x + 64)),$((y + 10)) $((x + 118)),$((y + 116)) $((x + 10)),$((y + 116))") ;;
    esac
  done
  convert -size 1024x1024 xc:none "${draw[@]}" -depth 8 -define png:color-type=6 "$set/icons-1024.png"
  local walls=/usr/share/wallpapers photo painting
  photo="$walls/BytheWater/contents/images/2560x1600.jpg"
  painting="$walls/Autumn/contents/images/2560x1600.jpg"
  if [ -f "$photo" ]; then
    convert "$photo" -gravity center -crop 2048x1024+0+0 +repage -depth 8 "$set/photo-2048x1024.png"
    convert "$photo" -resize '1000x625!' -depth 8 "$set/photo-1000x625.png"
  else
    echo "plasma-workspace-wallpapers not installed: no photographs in the set" >&2
  fi
  local forest="$walls/Path/contents/images/2560x1600.jpg"
  if [ -f "$forest" ]; then
    convert "$forest" -gravity center -crop 2048x1024+0+0 +repage -depth 8 "$set/forest-2048x1024.png"
  fi
  if [ -f "$painting" ]; then
    convert "$painting" -gravity center -crop 2048x1024+0+0 +repage -depth 8 "$set/painting-2048x1024.png"
    # A leaf-like cut-out: an ellipse whose edge fades over some 60 pixels.
    convert "$painting" -gravity center -crop 1024x1024+0+0 +repage \
      \( -size 1024x1024 xc:black -fill white -draw "ellipse 512,512 420,260 0,360" -blur 0x24 \) \
      -alpha off -compose copy_opacity -composite -depth 8 -define png:color-type=6 "$set/softalpha-1024.png"
  fi
  convert -seed 1 -size 2048x2048 plasma:fractal -alpha set -channel A -evaluate set 80% +channel -depth 8 \
    -define png:color-type=6 "$set/plasma80-2048.png"
  if [ -f /usr/share/backgrounds/gnome/wood-l.webp ]; then
    convert /usr/share/backgrounds/gnome/wood-l.webp -resize 2048x2048 -depth 8 "$set/wood-2048.png"
  else
    echo "gnome-backgrounds not installed: no wood texture in the set" >&2
  fi
}

# Writes $2 (a DDS file) from $1 with writer $3.
encode() {
  local input="$1" output="$2" writer="$3" folder="$work/out-$3" engine=./build/convert_bench compression=AUTO
  case "$writer" in
    tovrel | before | bc7)
      [ "$writer" = before ] && engine="$TOVREL_BEFORE"
      [ "$writer" = bc7 ] && compression=BC7
      rm -rf "$folder" && mkdir -p "$folder"
      "$engine" "$input" "$folder" $compression >/dev/null && mv "$folder"/*.dds "$output" ;;
    magick) convert "$input" -define dds:compression=dxt1 "$output" ;;
    magick5) convert "$input" -define dds:compression=dxt5 "$output" ;;
    nvtt) nvcompress -fast -bc1 "$input" "$output" >/dev/null 2>&1 ;;
    nvtt5) nvcompress -fast -bc3 "$input" "$output" >/dev/null 2>&1 ;;
  esac
}

# identify answers "False" or "false" depending on how the file stores alpha.
has_alpha() { [[ "$(identify -format '%[opaque]' "$1")" == [Ff]alse ]]; }

writers=(tovrel)
[ -n "${TOVREL_BEFORE:-}" ] && writers=(before "${writers[@]}")
writers+=(magick)
nvtt=0
command -v nvcompress >/dev/null && nvtt=1 || echo "nvcompress not installed: no nvtt rows" >&2
[ $nvtt = 1 ] && writers+=(nvtt)

make_set
printf '%-22s %-7s %6s %6s %6s %6s %6s %6s %7s %6s %6s\n' image writer L0 L1 L2 L3 L4 own alpha% c0 c1
for input in "$work"/set/*.png; do
  name=$(basename "$input" .png)
  [[ "$name" == ${1:-*} ]] || continue
  args=()
  these=("${writers[@]}")
  if has_alpha "$input"; then
    these+=(magick5)
    [ $nvtt = 1 ] && these+=(nvtt5)
  fi
  these+=(bc7)
  for writer in "${these[@]}"; do
    encode "$input" "$work/$name.$writer.dds" "$writer"
    args+=("$writer=$work/$name.$writer.dds")
  done
  ./build/dds_quality "$input" "${args[@]}" | awk -v image="$name" '
    NR > 1 { w = $1; if (!(w in seen)) { seen[w] = 1; order[++n] = w }
             psnr[w, $2] = $4; comp[w, $2] = $7; if ($2 == 1) own[w] = $5; if ($2 == 0) alpha[w] = $6 }
    END { for (i = 1; i <= n; i++) { w = order[i]; line = sprintf("%-22s %-7s", image, w)
            for (l = 0; l <= 4; l++) line = line sprintf(" %6s", ((w, l) in psnr) ? psnr[w, l] : "-")
            line = line sprintf(" %6s %7s", (w in own) ? own[w] : "-", alpha[w])
            for (l = 0; l <= 1; l++) line = line sprintf(" %6s", ((w, l) in comp) ? comp[w, l] : "-")
            print line } }'
done
