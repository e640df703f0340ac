#!/usr/bin/env bash
# Unpacks the Windows zip into a fresh Wine prefix and runs the release tests on it: the
# real Kitwright.exe, velCompDLL.dll, Nameplate.exe and templates, as an author gets them.
# Usage: release-test.sh WINDOWS_BUILD_DIR ZIP
set -eu
build=$(cd "$1" && pwd -P)
zip=$(cd "$(dirname "$2")" && pwd -P)/$(basename "$2")
here=$(cd "$(dirname "$0")" && pwd -P)
work=$build/release-test
rm -rf "$work"
mkdir -p "$work"
"$here/wine-prefix.sh" "$work"
. "$here/wine-env.sh"
kitwright_wine_env "$work"
unzip -q "$zip" -d "$WINEPREFIX/drive_c"
kitwright_start_display
trap kitwright_stop_wine EXIT
kitwright_start_wine "$build/testing/desktop_keeper.exe"
echo "release test: $(basename "$zip") unpacked into a fresh prefix at C:\\Kitwright"
KITWRIGHT_RELEASE='C:\Kitwright' wine "$build/bin/release_tests.exe" </dev/null
