# Sourced by every script that runs Wine: the build folder's private 32-bit prefix (never
# ~/.wine) and a private X display.
#
#   kitwright_wine_env BUILD_DIR  exports Wine's settings for BUILD_DIR/wineprefix, or for
#                                 KITWRIGHT_WINEPREFIX when that is set; WINEDEBUG and
#                                 WINEDLLOVERRIDES keep a caller's own values
#   kitwright_start_display       starts Xvfb on the first free display from 90 up, exports
#                                 DISPLAY and leaves the server's pid in kitwright_xvfb
#   kitwright_start_wine [KEEPER] starts a persistent wineserver, so that every later Wine
#                                 start is quick, and the desktop keeper KEEPER if it exists
#   kitwright_stop_wine           ends the wineserver and the display (an EXIT trap)

kitwright_wine_env() {
    export WINEPREFIX=${KITWRIGHT_WINEPREFIX:-$1/wineprefix}
    export WINEARCH=win32
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
}

kitwright_start_display() {
    local display=90
    while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
        display=$((display + 1))
    done
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    kitwright_xvfb=$!
    export DISPLAY=":$display"
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$display" ] && break
        sleep 0.1
    done
}

kitwright_start_wine() {
    # The server's and the first program's output must never reach a caller's pipe.
    wineserver -p </dev/null >/dev/null 2>&1
    timeout 60 wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    # Wine closes its desktop soon after the last program with a window ends, and the next
    # one waits over a second for a new desktop: a program that keeps a window keeps it.
    if [ -n "${1:-}" ] && [ -f "$1" ]; then
        wine "$1" </dev/null >/dev/null 2>&1 &
    fi
}

kitwright_stop_wine() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${kitwright_xvfb:-}" ]; then
        kill "$kitwright_xvfb" >/dev/null 2>&1 || true
        wait "$kitwright_xvfb" 2>/dev/null || true
    fi
}
