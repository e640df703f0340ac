#!/usr/bin/env bash
# Packs the Windows programs, the library and the templates into one zip.
# Usage: dist.sh WINDOWS_BUILD_DIR OUT_DIR
set -eu
bin=$(cd "$1/bin" && pwd -P)
# "1.0" from the project's VERSION 1.0.0.1, which the build recorded.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=\([0-9]*\.[0-9]*\).*/\1/p' "$1/CMakeCache.txt")
[ -n "$version" ] || { echo "dist: no project version in $1/CMakeCache.txt" >&2; exit 1; }
root=$(cd "$(dirname "$0")/.." && pwd -P)
mkdir -p "$2"
out=$(cd "$2" && pwd -P)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/Kitwright"
for file in Kitwright.exe velCompDLL.dll Nameplate.exe; do
    cp "$bin/$file" "$stage/Kitwright/"
done
cp -r "$bin/templates" "$stage/Kitwright/"
sed "s/@VERSION@/$version/; s/\$/\r/" "$root/packaging/README.txt" >"$stage/Kitwright/README.txt"
zip=$out/Kitwright-$version.zip
rm -f "$zip"
(cd "$stage" && zip -qr -X "$zip" Kitwright)
echo "dist: $zip"
