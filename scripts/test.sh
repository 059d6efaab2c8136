#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively (with
# AddressSanitizer and UndefinedBehaviorSanitizer) and the Windows programs
# under Wine. Installs what is missing first. Exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
# --package: the Windows tests install the packages as well.
scripts/install-deps.sh --package || exit 1

status=0
run_suite() {
    local preset=$1
    echo "== $preset: configure, build, test"
    cmake --preset "$preset" >/dev/null &&
        cmake --build --preset "$preset" &&
        ctest --preset "$preset" || { echo "== $preset: FAILED"; status=1; }
}
run_suite native
run_suite windows
[ $status -eq 0 ] && echo "== all tests passed"
exit $status
