#!/usr/bin/env bash
# Builds the Windows programs and runs the benchmarks under Wine, in the
# tests' prefix and on their own X server, printing the figures. The machine
# may be shared: its load is printed before and after.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target flipset flipset_wait_benchmark \
    flipset_transfer_benchmark flipset_run_benchmark flipset_reg_benchmark \
    flipset_tray_benchmark flipset_tray_peer flipset_netsh_stand_in
prefix=build/windows/wineprefix
tests/wine/wine-prefix.sh start "$prefix"
trap 'tests/wine/wine-prefix.sh stop "$prefix"' EXIT
uptime
build/windows/wine-run.sh build/windows/bench/flipset_wait_benchmark.exe
build/windows/wine-run.sh build/windows/bench/flipset_transfer_benchmark.exe
build/windows/wine-run.sh build/windows/bench/flipset_run_benchmark.exe
# flipset.exe as the packages ship it: without its debugging information,
# which Wine would otherwise read at every start.
x86_64-w64-mingw32-strip -o build/windows/bench/flipset.exe build/windows/src/flipset.exe
build/windows/wine-run.sh build/windows/bench/flipset_reg_benchmark.exe \
    "Z:$(printf '%s' "$PWD/build/windows/bench/flipset.exe" | tr / '\\')"
# The tray inside a test network of its own (as root; the script says why
# when it cannot make one).
FLIPSET_TEST_NETWORK_DISPLAY=1 tests/wine/network/test-network.sh \
    build/windows/wineprefix-network build/windows/tests/wine/flipset_netsh_stand_in.exe \
    build/windows/bench/flipset_tray_benchmark.exe || true
uptime
