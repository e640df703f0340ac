#!/usr/bin/env bash
# Runs a Windows program under Wine in the private prefix of the build folder.
# KITWRIGHT_WINEPREFIX overrides the prefix; the default lives beside this build.
set -eu
prefix=${KITWRIGHT_WINEPREFIX:-$(pwd -P)/wineprefix}
if [ -z "${KITWRIGHT_WINEPREFIX:-}" ]; then
    # ctest runs tests from their own folder; walk up to the build root.
    dir=$(pwd -P)
    while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
    [ -f "$dir/CMakeCache.txt" ] && prefix=$dir/wineprefix
fi
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
