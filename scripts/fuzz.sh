#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number
# of seconds (default 60), starting from the seed corpus in fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/install-deps.sh --fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
for target in decode_value unpack_string_list configuration_file run_snapshot connection_settings; do
    work=build/fuzz/corpus/$target
    mkdir -p "$work"
    cp -n fuzz/corpus/$target/* "$work"/ 2>/dev/null || true
    echo "== fuzz_$target for $seconds s"
    dict=()
    [ -f fuzz/$target.dict ] && dict=(-dict=fuzz/$target.dict)
    build/fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -print_final_stats=1 "${dict[@]}" "$work"
done
