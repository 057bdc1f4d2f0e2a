#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
# Safe to run again.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends \
  build-essential cmake pkg-config ca-certificates \
  libfreeimage-dev libstb-dev \
  libcairo2-dev libpango1.0-dev libfontconfig-dev fonts-liberation \
  libarchive-dev libpng-dev zlib1g-dev \
  qt6-base-dev qt6-wayland \
  libgtest-dev googletest \
  xvfb xdotool openbox x11-utils weston \
  time imagemagick python3-pil \
  dpkg-dev fakeroot file lintian desktop-file-utils appstream groff-base man-db bash-completion >/dev/null
