# The Wine environment of a prefix, written once for every script that runs
# Windows programs here: run.sh, the tests' fixture (wine-prefix.sh) and
# their runner (wine-run.sh). Source it (POSIX sh) and call the functions
# with the prefix's path; each prefix gets an X server of its own.
#
#   wine_env PREFIX      exports WINEPREFIX (absolute), WINEDEBUG,
#                        WINEDLLOVERRIDES, and DISPLAY when the prefix has
#                        an X server of its own
#   start_xvfb PREFIX    starts that X server (Xvfb, on a free display) and
#                        exports its DISPLAY; its display and process id are
#                        kept next to the prefix (PREFIX.display, .xvfb-pid)
#   stop_xvfb PREFIX     ends it
#   prepare_prefix       creates the exported prefix when it is new
#   stop_wineserver      ends the exported prefix's server and waits for it

wine_env() {
    # Wine wants an absolute prefix path.
    WINEPREFIX=$(realpath -m "$1")
    export WINEPREFIX
    export WINEDEBUG=-all
    # No .NET or HTML engine to install into a new prefix.
    export WINEDLLOVERRIDES='mscoree,mshtml=d'
    if [ -s "$WINEPREFIX.display" ]; then
        DISPLAY=$(cat "$WINEPREFIX.display")
        export DISPLAY
    fi
}

start_xvfb() {
    _wine_env_state=$(realpath -m "$1")
    mkdir -p "$(dirname "$_wine_env_state")"
    stop_xvfb "$1"
    # -displayfd picks a free display and writes its number when it is ready.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>"$_wine_env_state.display.tmp" >/dev/null 2>&1 </dev/null &
    echo $! >"$_wine_env_state.xvfb-pid"
    _wine_env_tries=0
    while [ ! -s "$_wine_env_state.display.tmp" ]; do
        _wine_env_tries=$((_wine_env_tries + 1))
        if [ $_wine_env_tries -gt 100 ]; then
            echo "Xvfb did not start" >&2
            return 1
        fi
        sleep 0.1
    done
    echo ":$(cat "$_wine_env_state.display.tmp")" >"$_wine_env_state.display"
    rm -f "$_wine_env_state.display.tmp"
    DISPLAY=$(cat "$_wine_env_state.display")
    export DISPLAY
}

stop_xvfb() {
    _wine_env_state=$(realpath -m "$1")
    if [ -f "$_wine_env_state.xvfb-pid" ]; then
        kill "$(cat "$_wine_env_state.xvfb-pid")" 2>/dev/null || true
        rm -f "$_wine_env_state.xvfb-pid" "$_wine_env_state.display"
    fi
}

stop_wineserver() {
    wineserver -k >/dev/null 2>&1 </dev/null || true
    wineserver -w >/dev/null 2>&1 </dev/null || true
}

prepare_prefix() {
    mkdir -p "$WINEPREFIX"
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    # A new prefix starts its services in the session that creates it; the
    # service control manager of that first session does not start services
    # of our own reliably, so that session ends before the prefix is used.
    wine wineboot -i >/dev/null 2>&1 </dev/null
    stop_wineserver
}
