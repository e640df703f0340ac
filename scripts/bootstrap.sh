#!/usr/bin/env bash
# Installs what building and testing need on Debian 12; safe to run again.
set -eu

packages=(
    cmake make g++ googletest libgtest-dev libgmock-dev clang libclang-rt-14-dev
    g++-mingw-w64-i686 wine wine32:i386 wine64 xvfb xauth fonts-wine
    imagemagick xdotool zip python3
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "bootstrap: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
