#!/usr/bin/env bash
# Runs a Windows build's write-out benchmark under Wine in the build's private prefix, of the
# build's architecture.
# Usage: wine-bench.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd -P)
here=$(cd "$(dirname "$0")" && pwd -P)
"$here/wine-prefix.sh" "$build"
. "$here/wine-env.sh"
kitwright_wine_env "$build"
echo "windows bench: the $KITWRIGHT_WINE_ARCH build $build, in its $WINEARCH prefix"
trap kitwright_stop_wine EXIT
kitwright_start_wine
# In memory where the machine has it: the second copy of a round would otherwise pay for the
# first one's 256 MiB still being written to disk, and a Windows program cannot sync.
work=
[ -d /dev/shm ] && work='Z:\dev\shm'
wine "$build/bin/velcomp_windows_bench.exe" $work </dev/null
