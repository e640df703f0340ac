#!/usr/bin/env bash
# Packs the Windows programs, the library and the templates into one zip.
# Usage: dist.sh WINDOWS_BUILD_DIR OUT_DIR
set -eu
bin=$(cd "$1/bin" && pwd -P)
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
sed 's/$/\r/' "$root/packaging/README.txt" >"$stage/Kitwright/README.txt"
rm -f "$out/Kitwright-1.0.zip"
(cd "$stage" && zip -qr -X "$out/Kitwright-1.0.zip" Kitwright)
echo "dist: $out/Kitwright-1.0.zip"
