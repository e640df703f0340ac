#!/usr/bin/env bash
# Runs the Windows build's tests under Wine on a private X display.
# Usage: wine-tests.sh BUILD_DIR [ctest arguments...]
set -eu
build=$(cd "$1" && pwd -P)
shift
here=$(cd "$(dirname "$0")" && pwd -P)
"$here/wine-prefix.sh" "$build"

export WINEPREFIX=$build/wineprefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# A display of our own, on the first free number from 90 up.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display"
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb" >/dev/null 2>&1 || true
    wait "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

# A warm server makes every later Wine start quick; its output must not reach ctest's pipe.
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

status=0
ctest --test-dir "$build" --output-on-failure --timeout 300 "$@" || status=$?
exit $status
