#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the whole test suite (the end-to-end tests run the instrumented binary).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${SKIP_SETUP:-0}" != 1 ]; then bash scripts/setup.sh; fi
cmake -S . -B build-asan -DTOVREL_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:strict_string_checks=1:suppressions=$PWD/scripts/asan.supp"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The build runs instrumented tools of its own (the artwork generator, the
# completion writer), so the options hold for the build as well.
cmake --build build-asan -j"$(nproc)"
cd build-asan && ctest --output-on-failure -j"$(nproc)"
