# Sourced by every script that runs Wine: the build folder's private 32-bit prefix (never
# ~/.wine) and a private X display.
#
#   kitwright_wine_env BUILD_DIR  exports Wine's settings for BUILD_DIR/wineprefix, or for
#                                 KITWRIGHT_WINEPREFIX when that is set; WINEDEBUG and
#                                 WINEDLLOVERRIDES keep a caller's own values
#   kitwright_start_display       starts Xvfb on the first free display from 90 up, exports
#                                 DISPLAY and leaves the server's pid in kitwright_xvfb

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
