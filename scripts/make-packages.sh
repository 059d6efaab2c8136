#!/usr/bin/env bash
# make-packages.sh EXE VERSION OUTDIR
# Packages a built flipset.exe as OUTDIR/Flipset-VERSION-x64.msi (with wixl,
# from installer/flipset.wxs) and OUTDIR/Flipset-VERSION-x64.zip (the
# program, the read-me and the licence, to run from any folder). VERSION is
# the program's own, MAJOR.MINOR.PATCH.TWEAK. scripts/package.sh builds the
# program and calls this; the package tests call it as well.
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 EXE VERSION OUTDIR" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$(realpath "$1")
version=$2
mkdir -p "$3"
out=$(realpath "$3")
if ! [[ $version =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)\.[0-9]+$ ]]; then
    echo "$0: the version needs four numbers: '$version'" >&2
    exit 2
fi
# Windows Installer compares the first three numbers only; see the package's
# upgrade rules.
next_version=${BASH_REMATCH[1]}.${BASH_REMATCH[2]}.$((BASH_REMATCH[3] + 1))
command -v wixl >/dev/null || { echo "$0: wixl is missing (scripts/install-deps.sh --package)" >&2; exit 1; }

name=Flipset-$version-x64
stage=$out/$name.stage
rm -rf "$stage"
mkdir -p "$stage"
# Without its debugging information the program is a fraction of the size.
x86_64-w64-mingw32-strip -o "$stage/flipset.exe" "$exe"
cp "$root/res/flipset.ico" "$stage/flipset.ico"
# Text files with Windows line ends, so that every editor shows them.
sed 's/\r*$/\r/' "$root/README.md" >"$stage/README.txt"
sed 's/\r*$/\r/' "$root/LICENSE.txt" >"$stage/LICENSE.txt"

# wixl finds the files named in the source in its working folder.
(cd "$stage" && wixl -a x64 -D "Version=$version" -D "NextVersion=$next_version" \
    -o "$out/$name.msi" "$root/installer/flipset.wxs")
rm -f "$out/$name.zip"
(cd "$stage" && cmake -E tar cf "$out/$name.zip" --format=zip flipset.exe README.txt LICENSE.txt)
rm -rf "$stage"
echo "$out/$name.msi"
echo "$out/$name.zip"
