#!/usr/bin/env bash
# The layering check against a scratch copy of the tree: the copy as it is
# passes, and each planted fault makes the check fail with a message that
# names the file, the line and what is wrong, or the picture that differs.
set -uo pipefail
source_root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

fresh_copy() {
    rm -rf "$scratch/tree"
    mkdir -p "$scratch/tree/cmake" "$scratch/tree/docs"
    cp -r "$source_root/src" "$source_root/bench" "$source_root/fuzz" "$source_root/res" \
        "$scratch/tree/"
    cp "$source_root/cmake/layers.txt" "$scratch/tree/cmake/"
    cp "$source_root/docs/architecture.md" "$scratch/tree/docs/"
}

# expect_check STATUS TEXT: the check's exit status and a line of its output.
expect_check() {
    local want_status=$1 want_text=$2 output status
    output=$(bash "$source_root/scripts/check-layers.sh" "$scratch/tree" 2>&1)
    status=$?
    if [ "$status" -ne "$want_status" ] || ! grep -qF -- "$want_text" <<<"$output"; then
        echo "FAIL: wanted status $want_status and \"$want_text\"; got status $status:"
        echo "$output"
        failures=$((failures + 1))
    fi
}

fresh_copy
expect_check 0 "every include allowed"

# An upward include, on line 8.
fresh_copy
printf '// planted\n#pragma once\n\n\n\n\n\n#include "engine/RunHost.h"\n' \
    >"$scratch/tree/src/network/Planted.h"
expect_check 1 "src/network/Planted.h:8: network -> engine is not allowed"

# The same from bench/fuzz is allowed, and so is a sibling of the own folder.
fresh_copy
printf '#include "app/MainApp.h"\n' >"$scratch/tree/bench/Planted.cpp"
printf '#include "Text.h"\n' >"$scratch/tree/src/base/Planted.cpp"
expect_check 0 "every include allowed"

# A portable layer reaching a layer that sits beside it, not below it.
fresh_copy
printf '#include "ui/LoadText.h"\n' >>"$scratch/tree/src/store/Registry.cpp"
expect_check 1 "src/store/Registry.cpp:"
expect_check 1 "store -> ui is not allowed"

# A folder that the list does not know, and an include that is in no layer.
fresh_copy
mkdir "$scratch/tree/src/extra"
printf '#include "Missing.h"\n' >"$scratch/tree/src/extra/Planted.cpp"
expect_check 1 "src/extra/Planted.cpp: the folder \"extra\" is not a layer"
expect_check 1 "src/extra/Planted.cpp:1: \"Missing.h\" is in no layer"

# The docs or the libraries drawing another picture than the list.
fresh_copy
sed -i 's/^ network   -> base store$/ network   -> base/' "$scratch/tree/docs/architecture.md"
expect_check 1 "docs/architecture.md: its layer diagram differs"
expect_check 1 "< network: base store"
fresh_copy
sed -i 's/flipset_add_layer(network USES base store/flipset_add_layer(network USES base store engine/' \
    "$scratch/tree/src/CMakeLists.txt"
expect_check 1 "> network: base engine store"

[ "$failures" -eq 0 ] && echo "check-layers test: all cases passed"
exit $((failures > 0))
