#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs them.
#   bash scripts/fuzz.sh                      # every target, 10 minutes each (image: 30)
#   bash scripts/fuzz.sh fuzz_convert 120     # one target for 120 seconds
# The working corpus lives in build-fuzz/corpus/<target>; the image targets
# are seeded with the PNG conformance images, fuzz_dds_read with small DDS
# files of every kind the program writes and reads (fuzz/seeds/fuzz_dds_read).
# Crashes land in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
export DEBIAN_FRONTEND=noninteractive
# Leaks of the font libraries' process-lifetime caches are not findings,
# nor, during the build, of the instrumented picture generator.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
command -v clang++-14 >/dev/null || { apt-get update -qq; apt-get install -y -qq clang-14 libclang-rt-14-dev >/dev/null; }
cmake -S . -B build-fuzz -DTOVREL_FUZZ=ON -DBUILD_TESTING=OFF \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)"

# fuzz_convert reads its settings from the first 40 bytes, so every PNG
# conformance image is seeded behind a header of zeros (no stage on) and
# behind three headers drawn from its name (stages, frame, watermark on).
seed_convert() {
  local corpus=$1 image name variant
  for image in tests/data/pngsuite/*.png; do
    name=$(basename "$image" .png)
    for variant in 0 1 2 3; do
      [ -e "$corpus/$name-$variant" ] && continue
      perl -e 'my ($name, $variant) = @ARGV; srand(unpack("%32C*", $name) * 4 + $variant);
               print $variant ? join("", map { chr(int(rand(256))) } 1..40) : "\0" x 40;' "$name" "$variant" \
        | cat - "$image" >"$corpus/$name-$variant"
    done
  done
}

run_target() {
  local target=$1 seconds=$2
  local corpus=build-fuzz/corpus/$target findings=build-fuzz/findings/$target
  mkdir -p "$corpus" "$findings"
  if [ -d "fuzz/seeds/$target" ]; then cp -n fuzz/seeds/"$target"/* "$corpus"/ 2>/dev/null || true; fi
  if [ "$target" = fuzz_convert ]; then seed_convert "$corpus"; fi
  if [ "$target" = fuzz_png_decode ]; then cp -n tests/data/pngsuite/*.png "$corpus"/; fi
  # The conversion cases are small files with small legal sizes: a single
  # allocation beyond 512 MB means a size was taken from a header or a
  # setting without a check.
  local malloc_limit=4096
  if [ "$target" = fuzz_convert ]; then malloc_limit=512; fi
  echo "== $target for $seconds s"
  ./build-fuzz/fuzz/"$target" "$corpus" -max_total_time="$seconds" -artifact_prefix="$findings/" \
    -timeout=20 -rss_limit_mb=4096 -malloc_limit_mb="$malloc_limit" -print_final_stats=1 2>&1 |
    grep -E 'stat::|Done|ERROR|SUMMARY' || true
}

if [ $# -ge 1 ]; then
  run_target "$1" "${2:-600}"
else
  for target in $(ls build-fuzz/fuzz/ | grep '^fuzz_' | grep -v '\.'); do
    if [ "$target" = fuzz_convert ]; then run_target "$target" 1800; else run_target "$target" 600; fi
  done
fi
