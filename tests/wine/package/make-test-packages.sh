#!/bin/sh
# make-test-packages.sh CURRENT_EXE CURRENT_VERSION OLDER_EXE OLDER_VERSION DIR
# Makes the packages that the package tests install: the current ones and an
# older MSI, built from the same sources with a lower version, and unpacks
# the current zip into "DIR/Portable Flipset", a folder with a space in its name.
set -eu
root=$(cd "$(dirname "$0")/../../.." && pwd)
dir=$5
rm -rf "$dir"
"$root/scripts/make-packages.sh" "$1" "$2" "$dir" >/dev/null
"$root/scripts/make-packages.sh" "$3" "$4" "$dir" >/dev/null
rm "$dir/Flipset-$4-x64.zip"
mkdir "$dir/Portable Flipset"
cd "$dir/Portable Flipset" && cmake -E tar xf "../Flipset-$2-x64.zip"
