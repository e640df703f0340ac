#!/usr/bin/env bash
# Finds out which Windows architectures this machine runs under Wine, says so in one line and
# writes them to FILE: x86_64, then i686 where 32-bit code runs; and on a second line, where
# i686 cannot run, why. Some machines of our kind
# execute no 32-bit code at all; there 64-bit Wine still runs, and the 32-bit loader fails at
# once. Exits 1, with the reason, when no Windows program can run here.
# Usage: machine.sh FILE
set -eu
file=$1
mkdir -p "$(dirname "$file")"

# The loader's own first line of complaint, without the path that the shell puts before it.
loader_error() {
    "$1" --version 2>&1 >/dev/null | head -n 1 | sed 's/^.*: \([^:]*\)$/\1/'
}

if [ ! -x /usr/lib/wine/wine64 ]; then
    echo "machine: no Windows program can run here: 64-bit Wine (/usr/lib/wine/wine64) is not installed" >&2
    exit 1
fi
if ! /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
    echo "machine: no Windows program can run here: /usr/lib/wine/wine64 fails: $(loader_error /usr/lib/wine/wine64)" >&2
    exit 1
fi
arches=x86_64
why=
if [ ! -x /usr/lib/wine/wine ]; then
    why="32-bit Wine (/usr/lib/wine/wine, package wine32:i386) is not installed"
elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
    arches="x86_64 i686"
elif [ "$(loader_error /usr/lib/wine/wine)" = "Exec format error" ]; then
    why="this machine executes no 32-bit code (/usr/lib/wine/wine: Exec format error)"
else
    why="/usr/lib/wine/wine fails: $(loader_error /usr/lib/wine/wine)"
fi
# A machine that runs 32-bit code can be taken for one that runs none, to try what those do.
if [ "${KITWRIGHT_NATIVE_I686:-}" = no ] && [ "$arches" != x86_64 ]; then
    arches=x86_64
    why="KITWRIGHT_NATIVE_I686=no: this machine is taken for one that executes no 32-bit code"
fi
printf '%s\n' "$arches" ${why:+"$why"} >"$file"
if [ "$arches" = x86_64 ]; then
    echo "machine: Windows programs run here as x86_64 only; i686 cannot run: $why"
else
    echo "machine: Windows programs run here as x86_64 and i686 (what ships)"
fi
