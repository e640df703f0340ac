#!/usr/bin/env bash
# Runs a Windows program under Wine in the private prefix of the build folder.
# KITWRIGHT_WINEPREFIX overrides the prefix; the default lives beside this build.
#
# Now and then a Wine start ends at once with a failing status before the program has said
# a word (seen on CI machines, never reproduced here). A program that failed without any
# output is started once more, and the restart is said in the output and noted in
# wine-restarts.log beside the build, which wine-tests.sh reports; a program that said
# anything keeps its status.
set -eu
# ctest runs tests from their own folder; walk up to the build root.
build=$(pwd -P)
while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
[ -f "$build/CMakeCache.txt" ] || build=$(pwd -P)
. "$(dirname "$0")/../scripts/wine-env.sh"
kitwright_wine_env "$build"

said=$(mktemp)
trap 'rm -f "$said"' EXIT
set +e
wine "$@" 2>&1 | tee "$said"
status=${PIPESTATUS[0]}
set -e
if [ "$status" -ne 0 ] && [ ! -s "$said" ]; then
    echo "wine-run: $(basename "$1") ended with status $status before any output; started again"
    printf '%s\t%s\t%s\n' "$(date -u +%FT%TZ)" "$status" "$*" >>"$build/wine-restarts.log"
    status=0
    wine "$@" 2>&1 || status=$?
fi
exit "$status"
