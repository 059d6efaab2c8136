#!/bin/sh
# wine-fonts.sh PREFIX [FONT_FILE...]
# Gives a Wine prefix Wine's own fonts (Marlett, which draws the caption
# buttons, scroll arrows and check marks; Tahoma; MS Sans Serif; ...).
#
# Debian's Wine 8 looks for them in "Z:\usr\share\wine\..\fonts", a path its
# file lookup does not resolve (the ".." is taken as a name), so a prefix has
# none of them: the title bar's close box then shows the letter "r" of a
# fallback font. Wine also loads every font in the prefix's windows\Fonts
# folder, so they are copied there. With FONT_FILE names (e.g. marlett.ttf)
# only those are copied, otherwise all of them.
set -eu
prefix=$1
shift
source_dir=/usr/share/wine/fonts
target_dir=$prefix/drive_c/windows/Fonts
if [ ! -d "$source_dir" ]; then
    echo "wine-fonts.sh: $source_dir is missing (Debian package fonts-wine)" >&2
    exit 1
fi
mkdir -p "$target_dir"
if [ $# -eq 0 ]; then
    set -- $(cd "$source_dir" && ls)
fi
for font in "$@"; do
    cp -u "$source_dir/$font" "$target_dir/"
done
