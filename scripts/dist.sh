#!/usr/bin/env bash
# Builds what ships, and only that, in a Release build folder of its own, then packs it:
# the zip (the programs, the library, the templates and README.txt in one folder) and the
# installer, an MSI made by wixl from packaging/Kitwright.wxs. What ships is i686. An x86_64
# zip, from the 64-bit test build of the same sources, is packed the same way for the release
# test where no 32-bit code runs; it is named for its architecture and has no MSI.
# Usage: dist.sh BUILD_DIR OUT_DIR [ARCH]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd -P)
arch=${3:-i686}
[ -f "$root/cmake/mingw-$arch.cmake" ] || { echo "dist: no toolchain for $arch" >&2; exit 1; }
cmake -S "$root" -B "$1" --toolchain "$root/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$1" --target shipped -j "${JOBS:-$(nproc)}"
build=$(cd "$1" && pwd -P)
bin=$build/bin
# The project's VERSION, 1.0.0.1, which the build recorded; the files are named by its
# first two numbers.
full=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
version=$(echo "$full" | sed -n 's/^\([0-9]*\.[0-9]*\).*/\1/p')
[ -n "$version" ] || { echo "dist: no project version in $build/CMakeCache.txt" >&2; exit 1; }
mkdir -p "$2"
out=$(cd "$2" && pwd -P)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
# One version's files only, so that whoever reads OUT_DIR finds one zip and one MSI.
rm -f "$out"/Kitwright-*.zip "$out"/Kitwright-*.msi

mkdir "$stage/Kitwright"
for file in Kitwright.exe velCompDLL.dll Nameplate.exe; do
    cp "$bin/$file" "$stage/Kitwright/"
done
cp -r "$bin/templates" "$stage/Kitwright/"
sed "s/@VERSION@/$version/; s/\$/\r/" "$root/packaging/README.txt" >"$stage/Kitwright/README.txt"
suffix=
[ "$arch" = i686 ] || suffix=-$arch
zip=$out/Kitwright-$version$suffix.zip
(cd "$stage" && zip -qr -X "$zip" Kitwright)
echo "dist: $zip"
[ "$arch" = i686 ] || exit 0

# wixl looks for the sources from its current folder.
python3 "$root/packaging/templates_wxs.py" "$stage/Kitwright/templates" "$stage/templates.wxs"
msi=$out/Kitwright-$version.msi
cp "$build/res/drawn/Kitwright.ico" "$stage/"
(cd "$stage" && wixl -a x86 -D Version="$full" -D Bin=Kitwright -D Icon=Kitwright.ico \
    -o "$msi" "$root/packaging/Kitwright.wxs" templates.wxs)
echo "dist: $msi"
