#!/usr/bin/env bash
# Runs the generated bash completion of tovrel the way bash-completion does
# and checks what it offers for a few command lines.
#   check_completion.sh <completion file>
# Exits 77 (skipped) when bash-completion is not installed.
set -uo pipefail

completion="$1"
framework=/usr/share/bash-completion/bash_completion
[[ -r "$framework" ]] || { echo "bash-completion is not installed"; exit 77; }
# shellcheck disable=SC1090
source "$framework"
# shellcheck disable=SC1090
source "$completion" || { echo "cannot load $completion"; exit 1; }
# Outside a real completion bash refuses compopt; the option it sets is not
# what is checked here.
compopt() { :; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir art textures
touch photo.png notes.txt art/stone.png wall.dds

failures=0

# The words bash hands to a completion for a command line whose cursor is
# at its end: split at blanks, with "=" a word of its own.
offered() {
    local line="$1"
    local spaced="${line//=/ = }"
    read -r -a COMP_WORDS <<<"$spaced"
    [[ "$line" == *" " || "$line" == *"=" ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="$line"
    COMP_POINT=${#line}
    COMPREPLY=()
    _tovrel tovrel "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//'
}

expect() {
    local line="$1" wanted="$2" got
    got="$(offered "$line")"
    if [[ "$got" != "$wanted" ]]; then
        echo "FAIL: '$line' offered '$got', expected '$wanted'"
        failures=$((failures + 1))
    fi
}

# Options, with "=" where the value follows it; case does not matter.
expect "tovrel --resize-al" "--resize-algorithm="
expect "tovrel --RESIZE-AL" "--resize-algorithm="
expect "tovrel --no-sub" "--no-subfolders"
expect "tovrel --inp" "--input="
expect "tovrel -i photo.png --wm-text-p" "--wm-text-padding= --wm-text-position="
# Keywords of the option's own table.
expect "tovrel --resize-algorithm=bi" "bicubic bilinear"
expect "tovrel --resize-algorithm=BI" "bicubic bilinear"
expect "tovrel --png-compression=" "none zlib1 zlib6 zlib9"
expect "tovrel --tiff-compression=l" "logluv lzw"
expect "tovrel --wm-font-effect=s" "strikethrought"
expect "tovrel --file-timestamp=" "current custom original"
expect "tovrel --dds-" "--dds-bpp= --dds-compression= --dds-load-as="
expect "tovrel --dds-compression=" "auto bc7 dxt1 dxt5 none"
expect "tovrel --DDS-Compression=DX" "dxt1 dxt5"
# Numbers and texts have nothing to offer.
expect "tovrel --width=" ""
# Help, version, screenshot and uninstall only as the first word.
expect "tovrel --hel" "--help"
expect "tovrel -i photo.png --hel" ""
expect "tovrel --vers" "--version"
expect "tovrel -i photo.png --vers" ""
# Files and folders where the value names one.
expect "tovrel -i " "art photo.png textures"
# The thumbnail command: a texture, then the picture it writes, then a size.
expect "tovrel --thum" "--thumbnail"
expect "tovrel -i photo.png --thum" ""
expect "tovrel --thumbnail " "art textures wall.dds"
expect "tovrel --thumbnail wall.dds " "art photo.png textures"
expect "tovrel --thumbnail wall.dds photo.png " ""
expect "tovrel --input=" "art photo.png textures"
expect "tovrel -i photo.png -o " "art textures"
expect "tovrel -c " "dds"
expect "tovrel --profile=n" "notes.txt"

((failures == 0)) && echo "completion: all cases pass"
exit $((failures > 0))
