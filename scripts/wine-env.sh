# Sourced by every script that runs Wine: a private prefix of the build's own architecture
# (never ~/.wine), the Wine loader of that architecture, and a private X display.
#
#   kitwright_build_arch BUILD_DIR
#                                 prints the Windows architecture that a build folder holds,
#                                 i686 or x86_64, as its CMake cache records it
#   kitwright_wine_env BUILD_DIR [ARCH]
#                                 exports Wine's settings for an ARCH prefix (by default the
#                                 build's own) at BUILD_DIR/wineprefix, or at
#                                 KITWRIGHT_WINEPREFIX when that is set; puts the loader of
#                                 that architecture first on PATH as wine; WINEDEBUG and
#                                 WINEDLLOVERRIDES keep a caller's own values
#   kitwright_start_display       starts Xvfb on the first free display from 90 up, exports
#                                 DISPLAY and leaves the server's pid in kitwright_xvfb
#   kitwright_start_wine [KEEPER] starts a persistent wineserver, so that every later Wine
#                                 start is quick, and the desktop keeper KEEPER if it exists
#   kitwright_stop_wine           ends the wineserver and the display (an EXIT trap)
#   kitwright_seconds SECONDS     prints a time limit of the project's scripts, scaled by
#                                 KITWRIGHT_TIME_FACTOR (a whole number, 1 by default) on
#                                 machines that run programs that much slower, such as the
#                                 emulated PC (scripts/emulated-i686.sh); the tests' own waits
#                                 scale by the same factor
#   kitwright_record STAGE ARCH TEXT
#                                 notes a Windows stage's outcome in KITWRIGHT_LEDGER, which
#                                 make test reads back at its end (scripts/windows-summary.sh)

kitwright_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd -P)

case ${KITWRIGHT_TIME_FACTOR:-1} in
'' | *[!0-9]* | 0*)
    echo "KITWRIGHT_TIME_FACTOR is '$KITWRIGHT_TIME_FACTOR': it must be a whole number from 1" >&2
    exit 1 ;;
esac

kitwright_seconds() {
    echo $(($1 * ${KITWRIGHT_TIME_FACTOR:-1}))
}

kitwright_build_arch() {
    local arch
    arch=$(sed -n 's/^KITWRIGHT_WINDOWS_ARCH:INTERNAL=//p' "$1/CMakeCache.txt" 2>/dev/null)
    echo "${arch:-i686}"
}

kitwright_wine_env() {
    local arch=${2:-$(kitwright_build_arch "$1")}
    export WINEPREFIX=${KITWRIGHT_WINEPREFIX:-$1/wineprefix}
    case $arch in
    x86_64)
        export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 ;;
    *)
        export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine ;;
    esac
    export KITWRIGHT_WINE_ARCH=$arch
    case ":$PATH:" in
    *":$kitwright_scripts/wine-loader:"*) ;;
    *) export PATH="$kitwright_scripts/wine-loader:$PATH" ;;
    esac
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
    for _ in $(seq "$(kitwright_seconds 50)"); do
        [ -e "/tmp/.X11-unix/X$display" ] && break
        sleep 0.1
    done
}

kitwright_start_wine() {
    # The server's and the first program's output must never reach a caller's pipe.
    wineserver -p </dev/null >/dev/null 2>&1
    timeout "$(kitwright_seconds 60)" wine cmd /c exit </dev/null >/dev/null 2>&1 || true
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

kitwright_record() {
    [ -z "${KITWRIGHT_LEDGER:-}" ] || printf '%s\t%s\t%s\n' "$1" "$2" "$3" >>"$KITWRIGHT_LEDGER"
}
