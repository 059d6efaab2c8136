#!/usr/bin/env bash
# Checks every #include "..." under src/, bench/ and fuzz/ against the list of
# layers and their allowed dependencies in cmake/layers.txt. Prints each
# include that the list does not allow as FILE:LINE: FROM -> TO is not allowed,
# and exits non-zero when there is one. Then checks that the layer libraries
# of src/CMakeLists.txt and the diagram in docs/architecture.md show the
# same layers and arrows as the list.
#
#   scripts/check-layers.sh [ROOT]    (ROOT: the source tree, default this one)
set -euo pipefail
set -f  # no file name expansion: "*" in the list means every layer
root=${1:-"$(dirname "$0")/.."}
cd "$root"

if [ ! -f cmake/layers.txt ]; then
    echo "check-layers: no cmake/layers.txt under $root" >&2
    exit 2
fi

mapfile -t sources < <(find src bench fuzz -type f \
    \( -name '*.h' -o -name '*.hpp' -o -name '*.c' -o -name '*.cpp' \) 2>/dev/null | sort)
if [ ${#sources[@]} -eq 0 ]; then
    echo "check-layers: no sources under $root" >&2
    exit 2
fi

awk '
BEGIN {
    while (("find src bench fuzz res -type f 2>/dev/null" | getline file) > 0)
        exists[file] = 1
}

# The list: "layer: uses..." lines; "#" starts a comment.
FILENAME == "cmake/layers.txt" {
    sub(/#.*/, "")
    if ($0 !~ /:/)
        next
    split($0, parts, ":")
    name = parts[1]
    gsub(/[ \t]/, "", name)
    layer[name] = 1
    count = split(parts[2], uses, /[ \t]+/)
    for (i = 1; i <= count; i++)
        if (uses[i] != "")
            allowed[name, uses[i]] = 1
    next
}

FNR == 1 {
    count = split(FILENAME, path, "/")
    from = path[1] == "src" ? path[2] : path[1]
    folder = FILENAME
    sub(/\/[^\/]*$/, "", folder)
    if (!(from in layer)) {
        printf "%s: the folder \"%s\" is not a layer in cmake/layers.txt\n", FILENAME, from
        bad = 1
    }
}

/^[ \t]*#[ \t]*include[ \t]*"/ {
    target = $0
    sub(/^[^"]*"/, "", target)
    sub(/".*$/, "", target)
    if (target ~ /\//) {
        to = target
        sub(/\/.*$/, "", to)
    } else if ((folder "/" target) in exists) {
        to = from
    } else if (("res/" target) in exists) {
        to = "res"
    } else {
        printf "%s:%d: \"%s\" is in no layer\n", FILENAME, FNR, target
        bad = 1
        next
    }
    if (!(to in layer) && to != "res" && to != "support") {
        printf "%s:%d: \"%s\" is in no layer\n", FILENAME, FNR, target
        bad = 1
    } else if (to != from && !allowed[from, to] && !allowed[from, "*"]) {
        printf "%s:%d: %s -> %s is not allowed\n", FILENAME, FNR, from, to
        bad = 1
    }
}

END { exit bad }
' cmake/layers.txt "${sources[@]}" || {
    echo "check-layers: includes that cmake/layers.txt does not allow (see above)" >&2
    exit 1
}
# The same picture in three places: the list, the layer libraries of
# src/CMakeLists.txt (flipset_add_layer(NAME USES ...)) and the diagram in
# docs/architecture.md (" NAME -> USES" lines). Each is printed as sorted
# "NAME: USES" lines and compared with the list.
normalise() {  # reads "NAME USES..." lines
    while read -r name uses; do
        printf '%s:' "$name"
        tr ' ' '\n' <<<"$uses" | grep -v '^$' | sort | tr '\n' ' ' | sed 's/ $//;s/^/ /;s/^ $//'
        echo
    done | sort
}
from_list=$(sed 's/#.*//; /:/!d; s/:/ /' cmake/layers.txt | normalise)
from_docs=$(sed -n '/^## Layers/,/^## /p' docs/architecture.md 2>/dev/null |
    sed -n 's/^ \([a-z]*\) *-> *\(.*\)$/\1 \2/p' |
    sed 's/(nothing)//; s/every layer/*/' | normalise)
# A library is a folder's layer, so the libraries are compared with the
# list's layers that have a folder under src/, and their arrows to such
# layers (res is no library, and a planned layer has none yet).
from_cmake=$(grep -o 'flipset_add_layer([a-z]*\( USES[a-z ]*\)\?' src/CMakeLists.txt 2>/dev/null |
    sed 's/flipset_add_layer(//; s/ USES//' | normalise)
with_folder=$(while read -r name uses; do
    name=${name%:}
    [ -d "src/$name" ] || continue
    printf '%s' "$name"
    for use in $uses; do [ -d "src/$use" ] && printf ' %s' "$use"; done
    echo
done <<<"$from_list" | normalise)
same=0
if [ "$from_docs" != "$from_list" ]; then
    echo "docs/architecture.md: its layer diagram differs from cmake/layers.txt:"
    diff <(echo "$from_list") <(echo "$from_docs") | sed -n 's/^[<>]/  &/p'
    same=1
fi
if [ "$from_cmake" != "$with_folder" ]; then
    echo "src/CMakeLists.txt: its layer libraries differ from cmake/layers.txt:"
    diff <(echo "$with_folder") <(echo "$from_cmake") | sed -n 's/^[<>]/  &/p'
    same=1
fi
if [ $same -ne 0 ]; then
    echo "check-layers: the list, the libraries and the docs are not the same picture" >&2
    exit 1
fi

echo "check-layers: ${#sources[@]} files, every include allowed; list, libraries and docs agree"
