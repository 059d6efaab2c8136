# The Wine environment of a prefix, written once for every script that runs
# Windows programs here: run.sh, the tests' fixture (wine-prefix.sh) and
# their runner (wine-run.sh). Source it (POSIX sh) and call the functions
# with the prefix's path; each prefix gets an X server and a sound server of
# its own.
#
#   wine_env PREFIX      exports WINEPREFIX (absolute), WINEDEBUG,
#                        WINEDLLOVERRIDES, DISPLAY when the prefix has an X
#                        server of its own, and PULSE_SERVER (with the
#                        client's runtime folders) when it has a sound server
#   start_xvfb PREFIX    starts that X server (Xvfb, on a free display) and
#                        exports its DISPLAY; its display and process id are
#                        kept next to the prefix (PREFIX.display, .xvfb-pid)
#   stop_xvfb PREFIX     ends it
#   start_pulse PREFIX   starts that sound server (pulseaudio with one null
#                        sink, so that Wine's mixer has a device) in a
#                        private folder next to the prefix (PREFIX.pulse:
#                        its socket, process id, state and log) and
#                        exports what its clients need; fails, with the
#                        server's log, when it does not come up
#   stop_pulse PREFIX    ends it and removes that folder
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
    # Only the prefix's own server, even when it has died: a program then
    # finds no device rather than the desktop session's sound.
    if [ -d "$WINEPREFIX.pulse" ]; then
        _wine_env_pulse_client "$WINEPREFIX.pulse"
    fi
}

_wine_env_pulse_client() {
    export PULSE_SERVER="unix:$1/native"
    export PULSE_RUNTIME_PATH="$1"
    export PULSE_COOKIE="$1/cookie"
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

start_pulse() {
    _wine_env_pulse=$(realpath -m "$1").pulse
    stop_pulse "$1"
    mkdir -m 700 -p "$_wine_env_pulse"
    # Everything the server keeps lies in its folder; it neither looks for
    # a session bus nor leaves when its last client goes, and anyone may
    # connect through its socket (the folder itself is private). As root
    # it warns that it is meant for a user, and runs.
    if ! env -u PULSE_SERVER -u DISPLAY DBUS_SESSION_BUS_ADDRESS=disabled: \
        HOME="$_wine_env_pulse" XDG_RUNTIME_DIR="$_wine_env_pulse" \
        XDG_CONFIG_HOME="$_wine_env_pulse" PULSE_RUNTIME_PATH="$_wine_env_pulse" \
        PULSE_STATE_PATH="$_wine_env_pulse" \
        pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit=yes \
        --realtime=no --high-priority=no -n \
        --log-target="newfile:$_wine_env_pulse/log" \
        --load="module-null-sink sink_name=flipset_test" \
        --load="module-native-protocol-unix socket=$_wine_env_pulse/native auth-anonymous=1 auth-cookie-enabled=0" \
        >/dev/null 2>&1 </dev/null ||
        [ ! -S "$_wine_env_pulse/native" ]; then
        echo "pulseaudio did not start:" >&2
        cat "$_wine_env_pulse/log" >&2 2>/dev/null
        return 1
    fi
    _wine_env_pulse_client "$_wine_env_pulse"
}

stop_pulse() {
    _wine_env_pulse=$(realpath -m "$1").pulse
    [ -d "$_wine_env_pulse" ] || return 0
    if [ -s "$_wine_env_pulse/pid" ]; then
        _wine_env_pid=$(cat "$_wine_env_pulse/pid")
        # Not another program that has since taken the number of a server
        # that died.
        if [ "$(cat "/proc/$_wine_env_pid/comm" 2>/dev/null)" = pulseaudio ]; then
            kill "$_wine_env_pid" 2>/dev/null || true
            _wine_env_tries=0
            while kill -0 "$_wine_env_pid" 2>/dev/null && [ $_wine_env_tries -lt 50 ]; do
                _wine_env_tries=$((_wine_env_tries + 1))
                sleep 0.1
            done
        fi
    fi
    rm -rf "$_wine_env_pulse"
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
