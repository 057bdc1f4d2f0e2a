#!/usr/bin/env bash
# Regenerates samples/sample.png (512 x 512 RGBA: a gradient tile with
# rounded transparent corners, a half-transparent window, shapes and text).
# Needs ImageMagick and fonts-liberation. The committed file is what counts.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 512x512 xc:none \
  \( -size 512x512 gradient:'#1e3c72'-'#2ec4b6' -distort SRT 45 \) -compose over -composite \
  \( -size 512x512 xc:none -fill white -draw "roundrectangle 0,0 511,511 64,64" \) -compose DstIn -composite \
  \( -size 512x512 xc:none -fill '#00000080' -draw "circle 370,380 370,330" \) -compose DstOut -composite \
  -compose over \
  -fill '#ff9f1c' -stroke '#ffffff' -strokewidth 6 -draw "circle 160,170 160,80" \
  -fill '#e71d3680' -stroke none -draw "polygon 300,80 460,200 340,330" \
  -fill '#ffffffb0' -draw "rectangle 70,330 250,440" \
  -fill none -stroke '#fdfffc' -strokewidth 10 -draw "ellipse 370,380 90,60 0,360" \
  -fill '#011627' -stroke none -font Liberation-Sans-Bold -pointsize 56 -gravity south -annotate +0+24 'tovrel' \
  -depth 8 -define png:color-type=6 sample.png
