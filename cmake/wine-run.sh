#!/usr/bin/env bash
# Runs a Windows program under Wine in the private prefix of the build folder.
# KITWRIGHT_WINEPREFIX overrides the prefix; the default lives beside this build.
set -eu
# ctest runs tests from their own folder; walk up to the build root.
build=$(pwd -P)
while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
[ -f "$build/CMakeCache.txt" ] || build=$(pwd -P)
. "$(dirname "$0")/../scripts/wine-env.sh"
kitwright_wine_env "$build"
exec wine "$@"
