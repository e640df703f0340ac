#!/usr/bin/env bash
# Runs a Windows build's tests under Wine, in a prefix of the build's architecture, on a
# private X display; says which architecture ran and how many tests passed.
# Usage: wine-tests.sh BUILD_DIR [ctest arguments...]
set -eu
build=$(cd "$1" && pwd -P)
shift
here=$(cd "$(dirname "$0")" && pwd -P)
"$here/wine-prefix.sh" "$build"
. "$here/wine-env.sh"
kitwright_wine_env "$build"
stage="windows tests ($(basename "$build"))"
echo "$stage: $KITWRIGHT_WINE_ARCH programs under $WINELOADER in the $WINEARCH prefix $WINEPREFIX"
kitwright_start_display
trap kitwright_stop_wine EXIT
kitwright_start_wine "$build/testing/desktop_keeper.exe"

# The DPI test sets the prefix's system DPI for the programs it starts and puts it back; one
# that was killed would leave it behind for every later test.
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f </dev/null >/dev/null 2>&1 || true

log=$build/wine-tests.log
restarts=$build/wine-restarts.log
rm -f "$restarts"
status=0
ctest --test-dir "$build" --output-on-failure --timeout "$(kitwright_seconds 300)" \
    --output-log "$log" "$@" || status=$?
summary=$(grep -E '^[0-9]+% tests passed' "$log" | tail -n 1)
if [ -s "$restarts" ]; then
    echo "$stage: $(wc -l <"$restarts") Wine starts ended before any output and were made again:"
    sed 's/^/  /' "$restarts"
    summary="$summary; $(wc -l <"$restarts") silent Wine starts made again (wine-restarts.log)"
fi
kitwright_record "$stage" "$KITWRIGHT_WINE_ARCH" "${summary:-no test ran}"
exit $status
