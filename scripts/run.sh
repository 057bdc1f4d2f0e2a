#!/usr/bin/env bash
# Installs what is needed, builds, and converts the bundled sample.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Only the program and the pictures and themes it reads; scripts/test.sh
# builds and runs everything else.
cmake --build build -j"$(nproc)" --target tovrel
mkdir -p out
./build/tovrel -i "$PWD/samples/sample.png" -o "$PWD/out"
echo "The DDS file is in $PWD/out/"
