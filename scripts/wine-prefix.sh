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

# Caption buttons are Marlett glyphs. Debian's Wine looks for fonts only in the prefix's
# Fonts folder and through fontconfig, and fonts-wine puts Marlett where neither looks, so
# without this copy the buttons show Marlett's letters ("r" for close) in another font. The
# text fonts are left as they are: the layout tests measure text in them.
marlett=/usr/share/wine/fonts/marlett.ttf
fonts=$WINEPREFIX/drive_c/windows/Fonts
mkdir -p "$fonts"
if [ ! -f "$fonts/marlett.ttf" ]; then
    if [ -f "$marlett" ]; then
        cp "$marlett" "$fonts/"
    else
        echo "wine-prefix: $marlett is missing (package fonts-wine): caption buttons show letters" >&2
    fi
fi
