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
trap kitwright_stop_wine EXIT
kitwright_start_wine "$build/testing/desktop_keeper.exe"

status=0
ctest --test-dir "$build" --output-on-failure --timeout 300 "$@" || status=$?
exit $status
