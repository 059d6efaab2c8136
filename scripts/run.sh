#!/usr/bin/env bash
# Builds flipset.exe and starts it under Wine, in a prefix of its own inside
# the build folder that reports Windows XP to the program (so that its
# network features are on). Installs what is missing first.
#
# With a display (DISPLAY set) the program opens there and this script
# returns when it ends. Without one, it starts an X server of its own, lets
# the program show its main window after the splash, saves a screenshot of
# the screen, ends the program and says where the picture is.
set -euo pipefail
cd "$(dirname "$0")/.."
headless=0
[ -z "${DISPLAY:-}" ] && headless=1
if [ $headless -eq 1 ]; then
    scripts/install-deps.sh --screenshot
else
    scripts/install-deps.sh
fi

cmake --preset windows >/dev/null
cmake --build --preset windows --target flipset

. scripts/wine-env.sh
prefix=build/run/wineprefix
stop_xvfb "$prefix"  # one left by an interrupted run
wine_env "$prefix"
exe=$(realpath build/windows/src/flipset.exe)

cleanup() {
    wineserver -k >/dev/null 2>&1 </dev/null || true
    stop_xvfb "$prefix"
}
trap cleanup EXIT

if [ $headless -eq 1 ]; then
    start_xvfb "$prefix"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix in $WINEPREFIX"
    prepare_prefix
fi
scripts/wine-fonts.sh "$WINEPREFIX"
wine reg add 'HKCU\Software\Wine\AppDefaults\flipset.exe' /v Version /d winxp /f >/dev/null 2>&1 </dev/null

if [ $headless -eq 0 ]; then
    wine "$exe" </dev/null
    exit 0
fi

# Headless: a screenshot of the main window, on a Wine desktop so that the
# window has its frame. The program is started as a user who has answered
# the first-run question and keeps two configurations, so that the window
# shows something.
reg_add() { wine reg add "$@" /f >/dev/null 2>&1 </dev/null; }
# The build's version number: the first-run question is then answered.
. build/windows/flipset-version.sh
reg_add 'HKLM\Software\Quillon\Flipset' /v Version /t REG_DWORD /d "$FLIPSET_VERSION_NUMBER"
reg_add 'HKLM\Software\Quillon\Flipset\Configurations\1' /v Name /d Office
reg_add 'HKLM\Software\Quillon\Flipset\Configurations\2' /v Name /d Home
wine explorer /desktop=Flipset,800x600 "$exe" >/dev/null 2>&1 </dev/null &
# The main window appears once the splash has had its three seconds.
for _ in $(seq 600); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Quillon Configuration Flipset"' && break
    sleep 0.1
done
sleep 1  # let it paint
shot=build/run/flipset-main-window.png
import -display "$DISPLAY" -window root -crop 800x600+0+0 "$shot"
echo "The main window after the splash: $shot"
