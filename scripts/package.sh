#!/usr/bin/env bash
# Builds the release packages from a clean clone: the Windows Installer
# package build/package/Flipset-VERSION-x64.msi and the portable
# build/package/Flipset-VERSION-x64.zip, VERSION being the program's version
# (CMakeLists.txt). Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --package

cmake --preset windows >/dev/null
cmake --build --preset windows --target flipset
. build/windows/flipset-version.sh
scripts/make-packages.sh build/windows/src/flipset.exe "$FLIPSET_VERSION" build/package
