#!/usr/bin/env bash
# Keeps the source folders layered one way: a file may include headers of its
# own folder and of lower layers only, and Qt headers only in the window
# folders; inside a folder the includes run one way too, with no circle of
# files (x.h, x.cpp and x_detail.h, the inside of x for a few callers, count
# as one file: a.cpp including b.h while b.cpp includes a.h is a circle). Prints one line per offending include and per
# circle and exits 1 when there is any, so CTest (and with it CI) fails.
#
#   bash scripts/check_layers.sh [source folder]   (default: src next to this script)
#
# Layers, lowest first:
#   0  settings   base helpers, the shared records and the product's identity
#   0  art        the built-in pictures; stands alone
#   1  engine
#   2  batch
#   3  cli
#   4  images     picture slots and theme archives of the window mode (no Qt)
#   4  update     the update check (no Qt)
#   5  ui         widget helpers: the first window folder (Qt from here up)
#   6  app        main window, converting, About, converter search
#   6  periphery  the uninstall window
#   6  viewer     the texture viewer
#   7  prefs      the preferences dialog
#   8  window     start-up, event loop, dispatch, screenshot
#   9  main.cpp
# Folders of one layer may not include each other.
set -uo pipefail

root="${1:-$(cd "$(dirname "$0")/.." && pwd)/src}"
root="${root%/}"
[[ -d "$root" ]] || { echo "check_layers: no folder $root" >&2; exit 2; }
root="$(realpath "$root")"  # relative includes are resolved against it

declare -A layer=([settings]=0 [art]=0 [engine]=1 [batch]=2 [cli]=3 [images]=4 [update]=4
                  [ui]=5 [app]=6 [periphery]=6 [viewer]=6 [prefs]=7 [window]=8)
readonly first_window_layer=5
readonly top_layer=9
readonly include_pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])([^>"]+)[>"]'
readonly qt_pattern='^(Q[A-Za-z]|qt)'

# The layer folder a path below the root lies in ("" for files at the top).
folder_of() {
    local relative="$1"
    [[ "$relative" == */* ]] && echo "${relative%%/*}" || echo ""
}

layer_of_folder() {
    local folder="$1"
    [[ -z "$folder" ]] && { echo "$top_layer"; return; }
    echo "${layer[$folder]:--1}"
}

# Resolves an include to a path below the root: "engine/x.h" as written (the
# build's include folder is the root), or "../batch/x.h" relative to the
# including file. Prints nothing for headers outside the root.
resolve_include() {
    local file_dir="$1" name="$2"
    local first="${name%%/*}"
    if [[ "$name" == */* && -n "${layer[$first]+set}" ]]; then
        echo "$name"
        return
    fi
    local joined
    joined="$(realpath -m "$root/$file_dir/$name")"
    [[ "$joined" == "$root"/* ]] && echo "${joined#"$root"/}"
}

failures=0
report() {
    echo "$1"
    failures=$((failures + 1))
}

# A file's unit: its path without the extension and a "_detail" ending, so
# that x.h, x_detail.h and x.cpp are one.
unit_of() {
    local unit="${1%.*}"
    echo "${unit%_detail}"
}

# The includes between units of one folder: unit -> the units it includes.
declare -A includes_within=()
note_include_within() {
    local from="$1" to="$2"
    [[ "$from" == "$to" ]] && return
    [[ " ${includes_within[$from]-} " == *" $to "* ]] || includes_within[$from]+="$to "
}

# Tarjan's strongly connected components over includes_within: every
# component of more than one unit is a circle, reported with its units in
# order.
declare -A visit_index=() lowest_reached=() on_path=()
path_stack=()
next_visit=0
find_circles_from() {
    local unit="$1" next
    visit_index[$unit]=$next_visit
    lowest_reached[$unit]=$next_visit
    next_visit=$((next_visit + 1))
    path_stack+=("$unit")
    on_path[$unit]=1
    for next in ${includes_within[$unit]-}; do
        if [[ -z "${visit_index[$next]+set}" ]]; then
            find_circles_from "$next"
            ((${lowest_reached[$next]} < ${lowest_reached[$unit]})) && lowest_reached[$unit]=${lowest_reached[$next]}
        elif [[ -n "${on_path[$next]-}" ]]; then
            ((${visit_index[$next]} < ${lowest_reached[$unit]})) && lowest_reached[$unit]=${visit_index[$next]}
        fi
    done
    ((${lowest_reached[$unit]} == ${visit_index[$unit]})) || return 0
    local members=() top
    while :; do
        top="${path_stack[-1]}"
        unset 'path_stack[-1]'
        unset "on_path[$top]"
        members+=("$top")
        [[ "$top" == "$unit" ]] && break
    done
    ((${#members[@]} > 1)) || return 0
    local sorted
    sorted="$(printf '%s\n' "${members[@]}" | sort | paste -sd ' ')"
    report "${sorted// /, }: their includes form a circle inside one folder (x.h, x_detail.h and x.cpp count as one file)"
}

while IFS= read -r -d '' path; do
    relative="${path#"$root"/}"
    folder="$(folder_of "$relative")"
    own_layer="$(layer_of_folder "$folder")"
    if [[ "$own_layer" == -1 ]]; then
        report "$relative: folder '$folder' has no layer (add it to scripts/check_layers.sh)"
        continue
    fi
    file_dir="$(dirname "$relative")"
    line_number=0
    while IFS= read -r line; do
        line_number=$((line_number + 1))
        [[ "$line" =~ $include_pattern ]] || continue
        bracket="${BASH_REMATCH[1]}"
        name="${BASH_REMATCH[2]}"
        where="$relative:$line_number"
        if [[ "$bracket" == "<" && "$name" =~ $qt_pattern ]]; then
            [[ "$own_layer" -ge "$first_window_layer" && "$own_layer" -lt "$top_layer" ]] ||
                report "$where: Qt header <$name> outside the window folders"
            continue
        fi
        target="$(resolve_include "$file_dir" "$name")"
        [[ -z "$target" ]] && continue  # a system or library header
        target_folder="$(folder_of "$target")"
        if [[ "$target_folder" == "$folder" ]]; then
            note_include_within "$(unit_of "$relative")" "$(unit_of "$target")"
            continue
        fi
        target_layer="$(layer_of_folder "$target_folder")"
        [[ "$target_layer" -lt "$own_layer" ]] && continue
        report "$where: ${folder:-main} (layer $own_layer) includes $name (${target_folder:-main}, layer $target_layer)"
    done <"$path"
done < <(find "$root" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) -print0 | sort -z)

while IFS= read -r unit; do
    [[ -z "${visit_index[$unit]+set}" ]] && find_circles_from "$unit"
done < <(printf '%s\n' "${!includes_within[@]}" | sort)

if ((failures > 0)); then
    echo "check_layers: $failures finding(s) against the layer order"
    exit 1
fi
echo "check_layers: every include runs down the layers, and one way inside each folder"
