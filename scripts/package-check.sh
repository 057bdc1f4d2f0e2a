#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian, installs it with dpkg,
# runs the installed program, removes the package again and checks that
# every file it installed is gone.
#
#   sudo bash scripts/package-check.sh [build folder]    (default: build)
#
# Installs and removes a system package: run it on a machine (or container)
# that may be changed, as root. Not part of CI.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"

[[ $(id -u) -eq 0 ]] || { echo "package-check: needs root for dpkg -i and dpkg -r" >&2; exit 2; }
if dpkg-query -W -f='${Status}' tovrel 2>/dev/null | grep -q "ok installed"; then
    echo "package-check: tovrel is installed already; remove it first (dpkg -r tovrel)" >&2
    exit 2
fi

step() { printf '\n== %s\n' "$*"; }

step "Build and package"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/tovrel_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
package="$(ls "$build"/tovrel_*.deb)"
echo "$package: $(stat -c %s "$package") bytes"
dpkg-deb -f "$package" Depends Installed-Size | sed 's/^/  /'

step "lintian"
# lintian exits non-zero on errors; the tags are printed either way.
lintian_status=0
lintian --pedantic --info "$package" 2>&1 | grep -v '^running with root' || true
lintian "$package" >/dev/null 2>&1 || lintian_status=$?
if ((lintian_status != 0)); then
    echo "package-check: lintian reports errors" >&2
    exit 1
fi

work="$(mktemp -d)"
installed=0
cleanup() {
    ((installed)) && dpkg -r tovrel >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

step "dpkg -i"
dpkg -i "$package"
installed=1
mapfile -t files < <(dpkg -L tovrel)

# The installed program runs from a folder of its own, with private runtime
# and configuration folders, so an open tovrel elsewhere does not stop it.
run_tovrel() {
    (cd "$work/cwd" && XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" tovrel "$@")
}
mkdir -p "$work/cwd" "$work/out" "$work/runtime" "$work/config"
chmod 700 "$work/runtime"

step "tovrel -v"
version="$(run_tovrel -v | tr -d '\r')"
echo "$version"
[[ "$version" == "2.8" ]] || { echo "package-check: unexpected version '$version'" >&2; exit 1; }
[[ "$(command -v tovrel)" == /usr/bin/tovrel ]] || { echo "package-check: tovrel is not /usr/bin/tovrel" >&2; exit 1; }

step "console conversion of samples/sample.png"
output="$(run_tovrel -i "$PWD/samples/sample.png" -o "$work/out" | tr -d '\r')"
echo "$output"
grep -qx "Files converted: 1 of 1" <<<"$output" || { echo "package-check: conversion failed" >&2; exit 1; }
[[ "$(head -c 4 "$work/out/sample.dds")" == "DDS " ]] || { echo "package-check: no DDS file written" >&2; exit 1; }
ls -l "$work/out/sample.dds"

step "man tovrel"
MANWIDTH=80 man -P cat tovrel 2>/dev/null | head -5

# The screenshot command needs a display: the one of the session, or a
# virtual one when xvfb-run is there.
display_run=()
if [[ -z "${DISPLAY:-}" ]] && command -v xvfb-run >/dev/null; then display_run=(xvfb-run -a); fi
if [[ -n "${DISPLAY:-}" || ${#display_run[@]} -gt 0 ]]; then
    step "tovrel -T (picture of the main window)"
    mkdir -p "$work/shots"
    (cd "$work/cwd" && XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" \
        "${display_run[@]}" tovrel -T "$work/shots")
    ls -l "$work/shots"
    [[ -s "$work/shots/tovrel1.jpg" ]] || { echo "package-check: tovrel -T wrote no picture" >&2; exit 1; }
fi

step "dpkg -r"
dpkg -r tovrel
installed=0
left=0
for file in "${files[@]}"; do
    # Shared folders such as /usr/share stay; everything of the package goes.
    if [[ -e "$file" || -L "$file" ]] && ! [[ -d "$file" && ! -L "$file" ]]; then
        echo "left behind: $file"
        left=1
    fi
done
for folder in /usr/lib/tovrel /usr/share/doc/tovrel; do
    [[ -e "$folder" ]] && { echo "left behind: $folder"; left=1; }
done
((left == 0)) || { echo "package-check: dpkg -r left files behind" >&2; exit 1; }
echo "every installed file is gone"
echo
echo "package-check: passed"
