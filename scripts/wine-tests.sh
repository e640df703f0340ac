#!/usr/bin/env bash
# Runs the Windows build's tests under Wine on a private X display.
# Usage: wine-tests.sh BUILD_DIR [ctest arguments...]
set -eu
build=$(cd "$1" && pwd -P)
shift
here=$(cd "$(dirname "$0")" && pwd -P)
"$here/wine-prefix.sh" "$build"
. "$here/wine-env.sh"
kitwright_wine_env "$build"
kitwright_start_display
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    kill "$kitwright_xvfb" >/dev/null 2>&1 || true
    wait "$kitwright_xvfb" 2>/dev/null || true
}
trap cleanup EXIT

# A warm server makes every later Wine start quick; its output must not reach ctest's pipe.
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
# Wine closes its desktop soon after the last program with a window ends, and the next one
# waits for a new desktop, over a second each time: a program that keeps a window for the
# whole run keeps the desktop.
keeper=$build/testing/desktop_keeper.exe
if [ -f "$keeper" ]; then
    wine "$keeper" </dev/null >/dev/null 2>&1 &
fi

status=0
ctest --test-dir "$build" --output-on-failure --timeout 300 "$@" || status=$?
exit $status
