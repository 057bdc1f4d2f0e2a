#!/usr/bin/env bash
# Installs what the benchmarks compare against and measure on, beyond what
# scripts/setup.sh installs for building and testing: NVIDIA Texture Tools'
# nvcompress and the wallpaper packages the picture set is cut from.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends \
  imagemagick time libnvtt-bin gnome-backgrounds plasma-workspace-wallpapers >/dev/null
