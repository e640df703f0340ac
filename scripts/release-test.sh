#!/usr/bin/env bash
# Unpacks a Windows zip into a fresh Wine prefix of the build's architecture and runs the
# release tests on it: the real Kitwright.exe, velCompDLL.dll, Nameplate.exe and templates, as
# an author gets them. The zip is of the build's architecture: what ships for i686, the zip
# that dist.sh packs from the 64-bit build for x86_64.
# Usage: release-test.sh WINDOWS_BUILD_DIR ZIP
set -eu
build=$(cd "$1" && pwd -P)
[ -f "${2:-}" ] || { echo "release test: no zip given (${2:-})" >&2; exit 1; }
zip=$(cd "$(dirname "$2")" && pwd -P)/$(basename "$2")
here=$(cd "$(dirname "$0")" && pwd -P)
work=$build/release-test
rm -rf "$work"
mkdir -p "$work"
. "$here/wine-env.sh"
arch=$(kitwright_build_arch "$build")
"$here/wine-prefix.sh" "$work" "$arch"
kitwright_wine_env "$work" "$arch"
unzip -q "$zip" -d "$WINEPREFIX/drive_c"
kitwright_start_display
trap kitwright_stop_wine EXIT
kitwright_start_wine "$build/testing/desktop_keeper.exe"
stage="release test ($(basename "$zip"))"
echo "$stage: $arch programs unpacked into a fresh $WINEARCH prefix at C:\\Kitwright"
# A program that Wine starts may keep a pipe open: the output goes to a file.
status=0
limit=$(kitwright_seconds 300)
started=$SECONDS
KITWRIGHT_RELEASE='C:\Kitwright' timeout "$limit" wine "$build/bin/release_tests.exe" \
    </dev/null >"$work/release-tests.log" 2>&1 || status=$?
cat "$work/release-tests.log"
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$work/release-tests.log")
echo "$stage: ended in $((SECONDS - started)) s (limit $limit s)"
if [ $status -eq 0 ]; then
    kitwright_record "$stage" "$arch" "passed (${passed:-0} of the release tests)"
elif [ $status -eq 124 ]; then
    echo "$stage: FAILED: the release tests did not end within $limit s" >&2
    kitwright_record "$stage" "$arch" "FAILED (not ended within $limit s)"
else
    kitwright_record "$stage" "$arch" "FAILED (exit $status)"
fi
exit $status
