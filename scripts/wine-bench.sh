#!/usr/bin/env bash
# Runs the Windows library's write-out benchmark under Wine in the build's private prefix.
# Usage: wine-bench.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd -P)
here=$(cd "$(dirname "$0")" && pwd -P)
"$here/wine-prefix.sh" "$build"
. "$here/wine-env.sh"
kitwright_wine_env "$build"
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wine "$build/bin/velcomp_windows_bench.exe" </dev/null
