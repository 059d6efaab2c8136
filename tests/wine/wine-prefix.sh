#!/bin/sh
# wine-prefix.sh start|stop PREFIX
# start: creates the prefix when it is new and leaves a persistent wineserver
#        running, so that every test program starts in milliseconds.
# stop:  ends the server and every Wine process of the prefix.
set -eu
action=$1
export WINEPREFIX=$2
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml=d'

case $action in
start)
    mkdir -p "$WINEPREFIX"
    # A server left over from an interrupted run would refuse a second one.
    wineserver -k >/dev/null 2>&1 </dev/null || true
    wineserver -p >/dev/null 2>&1 </dev/null
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wine wineboot -i >/dev/null 2>&1 </dev/null
    fi
    # The first Wine process of a session starts the prefix's helpers.
    wine cmd /c exit >/dev/null 2>&1 </dev/null
    ;;
stop)
    wineserver -k >/dev/null 2>&1 </dev/null || true
    ;;
*)
    echo "usage: $0 start|stop PREFIX" >&2
    exit 2
    ;;
esac
