#!/usr/bin/env bash
# Creates a private Wine prefix once, of the build's architecture (a 32-bit prefix for i686,
# a 64-bit one for x86_64); never touches ~/.wine. A prefix is whole once it holds its mark:
# one without it is what a failed or interrupted start left, and is made again.
# Usage: wine-prefix.sh BUILD_DIR [ARCH]
set -eu
build=$(cd "$1" && pwd -P)
. "$(dirname "$0")/wine-env.sh"
kitwright_wine_env "$build" "${2:-}"
mark=$WINEPREFIX/kitwright-prefix
if [ "$(cat "$mark" 2>/dev/null)" != "$WINEARCH" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    log=$(dirname "$WINEPREFIX")/wineboot.log
    # Wine's services outlive wineboot: its output goes to a file, never to a caller's pipe.
    # The registry reaches the disk when the server ends.
    made=yes
    limit=$(kitwright_seconds 300)
    started=$SECONDS
    timeout "$limit" wine wineboot -i </dev/null >"$log" 2>&1 || made=no
    if [ $made = yes ]; then
        # Wine draws its own captions: no window manager runs under Xvfb.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >>"$log" 2>&1 ||
            made=no
    fi
    timeout "$(kitwright_seconds 120)" wineserver -w >/dev/null 2>&1 ||
        wineserver -k >/dev/null 2>&1 || true
    if [ $made = no ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
        reason=$(grep -v '^$' "$log" | tail -n 1)
        rm -rf "$WINEPREFIX"
        echo "wine-prefix: Wine could not make the $WINEARCH prefix $WINEPREFIX with" \
            "$WINELOADER: ${reason:-no reason given} (log: $log)" >&2
        exit 1
    fi
    echo "$WINEARCH" >"$mark"
    echo "wine-prefix: made the $WINEARCH prefix $WINEPREFIX in $((SECONDS - started)) s" \
        "(limit $limit s)"
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
