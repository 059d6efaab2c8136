#!/usr/bin/env bash
# Takes a picture of every window of flipset.exe and saves them in docs/, so
# that they can be made again after a change. Installs what is missing first.
#
# It starts an X server of its own (Xvfb) and a Wine prefix of its own
# (build/screenshots/wineprefix) with Wine's fonts, seeded as for a user who
# has answered the first-run question and keeps two configurations, on a
# system whose network features are on. flipset.exe runs on a Wine desktop,
# so that its windows have their frames and its tray icon a taskbar;
# flipset_screenshot_driver opens each window in turn, then the tray's menu,
# and asks for its picture, which this script takes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --screenshot

cmake --preset windows >/dev/null
cmake --build --preset windows --target flipset flipset_screenshot_driver

. scripts/wine-env.sh
prefix=build/screenshots/wineprefix
stop_xvfb "$prefix"  # one left by an interrupted run
wine_env "$prefix"
exe=$(realpath build/windows/src/flipset.exe)
driver=$(realpath build/windows/tests/wine/flipset_screenshot_driver.exe)
requests=$(realpath -m build/screenshots/requests)
rm -rf "$requests"
mkdir -p "$requests" docs

cleanup() {
    wineserver -k >/dev/null 2>&1 </dev/null || true
    stop_xvfb "$prefix"
}
trap cleanup EXIT
start_xvfb "$prefix"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Preparing the Wine prefix in $WINEPREFIX"
    prepare_prefix
fi
scripts/wine-fonts.sh "$WINEPREFIX"
reg_add() { wine reg add "$@" /f >/dev/null 2>&1 </dev/null; }
# Every picture starts from the same data: what an earlier run of this
# script stored (the tray's run of Home, its options, its snapshot) goes.
for root in HKLM HKCU; do
    wine reg delete "$root\Software\Quillon\Flipset" /f >/dev/null 2>&1 </dev/null || true
done
reg_add 'HKCU\Software\Wine\AppDefaults\flipset.exe' /v Version /d winxp
# The build's version number: the first-run question is then answered.
. build/windows/flipset-version.sh
reg_add 'HKLM\Software\Quillon\Flipset' /v Version /t REG_DWORD /d "$FLIPSET_VERSION_NUMBER"
reg_add 'HKLM\Software\Quillon\Flipset\Configurations\1' /v Name /d Office
reg_add 'HKLM\Software\Quillon\Flipset\Configurations\2' /v Name /d Home
# Office's values for the preview: a hosts file (a packed list of one entry),
# the wallpaper, the printer, the start page and a program to start.
packed_hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; printf '000000'; }
office='HKLM\Software\Quillon\Flipset\Configurations\1'
reg_add "$office" /v Hostfile /t REG_BINARY \
    /d "$(packed_hex $'127.0.0.1 localhost\n10.0.0.5 mail.office.example\n10.0.0.9 files.office.example')"
reg_add "$office" /v Wallpaper /d 'C:\windows\office.bmp'
reg_add "$office" /v WallpaperPosition /t REG_DWORD /d 1
reg_add "$office" /v DefPrinter /d 'Office Laser,winspool,Ne01:'
reg_add "$office" /v IEHOME /d 'http://intranet.office.example/'
reg_add "$office" /v dorun /t REG_DWORD /d 0
# Its proxy, for the Proxy dialog.
reg_add "$office" /v ProxyEnable /t REG_DWORD /d 1
reg_add "$office" /v ProxyServer /d 'proxy.office.example:8080'
reg_add "$office" /v ProxyOverride /d '*.office.example;<local>'
reg_add "$office" /v AutoConfigURL /d ''
# Its location, for the Location dialog.
reg_add "$office" /v LocationMode /t REG_DWORD /d 1
reg_add "$office" /v LocationGateway /d '00-1a-2b-3c-4d-5e'
reg_add "$office" /v LocationSubnet /d '10.0.0.0/16'
reg_add "$office" /v LocationDnsSuffix /d 'office.example'
# A network card as the system records it, for the card dialogs.
card_service='{F11B5E70-0000-4711-0000-000000000001}'
card_key='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\NetworkCards\4711'
reg_add "$card_key" /v Description /d 'Office LAN'
reg_add "$card_key" /v ServiceName /d "$card_service"
reg_add "HKLM\SYSTEM\CurrentControlSet\Control\Network\{4D36E972-E325-11CE-BFC1-08002BE10318}\$card_service\Connection" \
    /v PnpInstanceID /d 'PCI\OFFICE\1'

windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
wine explorer /desktop=Flipset,1024x768 "$driver" "$(windows_path "$exe")" \
    "$(windows_path "$requests")" >/dev/null 2>&1 </dev/null &

# Each request names a window and its place; the driver waits until its
# picture is taken.
deadline=$((SECONDS + 300))
while [ ! -f "$requests/done" ]; do
    if [ $SECONDS -gt $deadline ]; then
        echo "The windows did not all appear in time" >&2
        exit 1
    fi
    for request in "$requests"/*.request; do
        [ -e "$request" ] || continue
        name=$(basename "$request" .request)
        geometry=$(tr -d '\r\n' <"$request")
        import -display "$DISPLAY" -window root -crop "$geometry" +repage "docs/$name.png"
        echo "docs/$name.png"
        rm -f "$request"
    done
    sleep 0.1
done
if [ "$(tr -d '\r\n' <"$requests/done")" != ok ]; then
    echo "Not every window could be opened; see the pictures made so far" >&2
    exit 1
fi

# The command-line usage: flipset.exe writes it to its output (a file here,
# never a pipe: Wine's helpers would keep one open), and it is drawn as a
# console shows it.
help_text=$(realpath -m build/screenshots/help.txt)
wine "$exe" /help >"$help_text" 2>/dev/null </dev/null
printf -v console 'C:\\>flipset /help\n%s\n\nC:\\>_' "$(tr -d '\r' <"$help_text")"
convert -size 1200x1000 xc:'#0c0c0c' -font /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf \
    -pointsize 14 -fill '#cccccc' -annotate +16+24 "$console" -trim +repage \
    -bordercolor '#0c0c0c' -border 16x14 docs/command-line-help.png
echo docs/command-line-help.png
