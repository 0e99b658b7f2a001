#!/usr/bin/env bash
# Fails when a folder includes a header of a folder above it: includes run one way, from the
# programs down to the key table. docs/architecture.md says what each folder holds and why the
# order is this one. Prints every offending include as FILE:LINE with the two folders.
#   scripts/check_layers.sh [SOURCE_FOLDER]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# The folders, lowest first. A folder may include its own headers and those of the folders
# before it, never those after it.
layers=(files keys device emulator transport events macro_record assign macro skin profile
        lighting names history session widgets gui app cli)
# Pairs that the order alone would allow but that stay apart all the same, as
# FOLDER:FOLDER_IT_MAY_NOT_INCLUDE: the command-line tool never includes the desktop windows.
apart=(cli:gui cli:widgets)
# Folders that may include any other: tests, benchmarks, fuzz targets, and the programs that
# draw and preview the skin.
anything=(tests bench fuzz resources)

# Every folder the build enters has its place in one of the lists above.
unplaced=$(awk -v known="${layers[*]} ${anything[*]}" '
    BEGIN { n = split(known, list, " "); for (i = 1; i <= n; ++i) placed[list[i]] = 1 }
    match($0, /^[ \t]*add_subdirectory\([ \t]*[A-Za-z0-9_]+/) {
        folder = substr($0, RSTART, RLENGTH)
        sub(/.*\([ \t]*/, "", folder)
        if (!(folder in placed))
            printf "CMakeLists.txt:%d: folder %s has no place in the layers\n", FNR, folder
    }' CMakeLists.txt)

folders=()
for folder in "${layers[@]}"; do
    [[ -d $folder ]] && folders+=("$folder")
done

# FILE:LINE:#include "FOLDER/..." for every include that names a folder, then the rules.
offences=$( (grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][A-Za-z0-9_]+/' \
                 --include='*.h' --include='*.hpp' --include='*.c' --include='*.cc' \
                 --include='*.cpp' --include='*.cxx' "${folders[@]}" || true) |
    awk -v order="${layers[*]}" -v apart="${apart[*]}" '
    BEGIN {
        n = split(order, list, " ")
        for (i = 1; i <= n; ++i) rank[list[i]] = i
        n = split(apart, pairs, " ")
        for (i = 1; i <= n; ++i) kept[pairs[i]] = 1
    }
    {
        split($0, where, ":")
        folder = where[1]
        sub(/\/.*/, "", folder)
        included = $0
        sub(/^[^"<]*["<]/, "", included)
        sub(/\/.*/, "", included)
        if (!(included in rank) || included == folder)
            next
        if (rank[included] > rank[folder])
            why = "a folder above it"
        else if ((folder ":" included) in kept)
            why = "which it must stay apart from"
        else
            next
        printf "%s:%s: %s includes %s, %s\n", where[1], where[2], folder, included, why
    }')

if [[ -n $unplaced$offences ]]; then
    printf '%s\n' "$unplaced" "$offences" | sed '/^$/d' >&2
    echo "Includes run from a folder to its own level or below; the order is in $0." >&2
    exit 1
fi
echo "Every include runs from a folder to its own level or below: ${layers[*]}"
