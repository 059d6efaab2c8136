#!/bin/sh
# wine-prefix.sh start|stop PREFIX
# start: starts an X server of the tests' own (Xvfb, on a free display, noted
#        next to the prefix for wine-run.sh) and a sound server of their own
#        (so that the mixer has a device), creates the prefix when it is
#        new, and leaves a persistent wineserver running, so that every test
#        program starts in milliseconds.
# stop:  ends the server, every Wine process of the prefix, the X server and
#        the sound server.
set -eu
. "$(dirname "$0")/../../scripts/wine-env.sh"
action=$1
prefix=$2

case $action in
start)
    wine_env "$prefix"
    # A server left over from an interrupted run would refuse a second one.
    mkdir -p "$WINEPREFIX"
    stop_wineserver
    start_xvfb "$prefix"
    start_pulse "$prefix"
    prepare_prefix
    # The symbol font of the caption buttons, which Debian's Wine does not
    # find by itself; the text fonts stay the fallback ones the tests were
    # made with.
    "$(dirname "$0")/../../scripts/wine-fonts.sh" "$WINEPREFIX" marlett.ttf
    wineserver -p >/dev/null 2>&1 </dev/null
    # Without a window manager Wine waits 2 s for every managed window that
    # closes; the tests' windows need no manager.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
    # Sound through that server only: a program that cannot reach it has no
    # mixer device, whatever sound cards the machine has.
    wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1 </dev/null
    ;;
stop)
    wine_env "$prefix"
    stop_wineserver
    stop_xvfb "$prefix"
    stop_pulse "$prefix"
    ;;
*)
    echo "usage: $0 start|stop PREFIX" >&2
    exit 2
    ;;
esac
