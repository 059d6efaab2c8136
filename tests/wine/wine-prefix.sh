#!/bin/sh
# wine-prefix.sh start|stop PREFIX
# start: starts an X server of the tests' own (Xvfb, on a free display, noted
#        in PREFIX.display for wine-run.sh), creates the prefix when it is
#        new, and leaves a persistent wineserver running, so that every test
#        program starts in milliseconds.
# stop:  ends the server, every Wine process of the prefix, and the X server.
set -eu
action=$1
# Wine wants an absolute prefix path.
WINEPREFIX=$(realpath -m "$2")
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml=d'
display_file=$WINEPREFIX.display
xvfb_pid_file=$WINEPREFIX.xvfb-pid

# Ends the prefix's server and waits until it is gone.
stop_wineserver() {
    wineserver -k >/dev/null 2>&1 </dev/null || true
    wineserver -w >/dev/null 2>&1 </dev/null || true
}

stop_xvfb() {
    if [ -f "$xvfb_pid_file" ]; then
        kill "$(cat "$xvfb_pid_file")" 2>/dev/null || true
        rm -f "$xvfb_pid_file" "$display_file"
    fi
}

case $action in
start)
    mkdir -p "$WINEPREFIX"
    # A server left over from an interrupted run would refuse a second one.
    stop_wineserver
    stop_xvfb
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>"$display_file.tmp" >/dev/null 2>&1 </dev/null &
    echo $! >"$xvfb_pid_file"
    tries=0
    while [ ! -s "$display_file.tmp" ]; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ]; then
            echo "Xvfb did not start" >&2
            exit 1
        fi
        sleep 0.1
    done
    echo ":$(cat "$display_file.tmp")" >"$display_file"
    rm -f "$display_file.tmp"
    DISPLAY=$(cat "$display_file")
    export DISPLAY

    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        # A new prefix starts its services in the session that creates it;
        # the service control manager of that first session does not start
        # services of our own reliably, so the session ends before the tests'.
        wine wineboot -i >/dev/null 2>&1 </dev/null
        stop_wineserver
    fi
    # The symbol font of the caption buttons, which Debian's Wine does not
    # find by itself; the text fonts stay the fallback ones the tests were
    # made with.
    "$(dirname "$0")/../../scripts/wine-fonts.sh" "$WINEPREFIX" marlett.ttf
    wineserver -p >/dev/null 2>&1 </dev/null
    # Without a window manager Wine waits 2 s for every managed window that
    # closes; the tests' windows need no manager.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
    ;;
stop)
    stop_wineserver
    stop_xvfb
    ;;
*)
    echo "usage: $0 start|stop PREFIX" >&2
    exit 2
    ;;
esac
