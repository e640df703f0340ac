#!/usr/bin/env bash
# Creates the build folder's private 32-bit Wine prefix once; never touches ~/.wine.
# Usage: wine-prefix.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd -P)
. "$(dirname "$0")/wine-env.sh"
kitwright_wine_env "$build"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i </dev/null >/dev/null 2>&1
    # Wine draws its own captions: no window manager runs under Xvfb.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    wineserver -w
fi
