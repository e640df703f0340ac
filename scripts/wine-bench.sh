#!/usr/bin/env bash
# Runs the Windows library's write-out benchmark under Wine in the build's private prefix.
# Usage: wine-bench.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd -P)
here=$(cd "$(dirname "$0")" && pwd -P)
"$here/wine-prefix.sh" "$build"
. "$here/wine-env.sh"
kitwright_wine_env "$build"
trap kitwright_stop_wine EXIT
kitwright_start_wine
# In memory where the machine has it: the second copy of a round would otherwise pay for the
# first one's 256 MiB still being written to disk, and a Windows program cannot sync.
work=
[ -d /dev/shm ] && work='Z:\dev\shm'
wine "$build/bin/velcomp_windows_bench.exe" $work </dev/null
