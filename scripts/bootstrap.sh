#!/usr/bin/env bash
# Installs what building and testing need on Debian 12; safe to run again.
# Usage: bootstrap.sh [emulated-pc]
#   emulated-pc: what an emulated 32-bit-capable PC is made and run with, instead (the
#   machine's own kernel, qemu, mmdebstrap), for machines that execute no 32-bit code
set -eu

if [ "${1:-}" = emulated-pc ]; then
    packages=(qemu-system-x86 mmdebstrap linux-image-amd64 initramfs-tools lz4 e2fsprogs)
else
    packages=(
        cmake make g++ googletest libgtest-dev libgmock-dev clang libclang-rt-14-dev
        g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb xauth fonts-wine
        imagemagick xdotool zip unzip python3 locales wixl
    )
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
if [ ${#missing[@]} -ne 0 ]; then
    echo "bootstrap: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    # A mirror caught mid-sync fails the update for a while: try again. One list that still
    # fails (often one architecture's security updates) leaves the others fresh, so the
    # install goes on with what apt has; only the install's own failure stops here.
    for attempt in 1 2 3 4; do
        $sudo apt-get update -qq && break
        if [ $attempt -eq 4 ]; then
            echo "bootstrap: the package lists did not all update; installing from those apt has"
            break
        fi
        echo "bootstrap: the package lists did not update; again in $((attempt * 30)) s"
        sleep $((attempt * 30))
    done
    if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null; then
        echo "bootstrap: cannot install: ${missing[*]}" >&2
        exit 1
    fi
fi
[ "${1:-}" != emulated-pc ] || exit 0

# The Japanese locale: Wine takes code page 932 from it, and names its files in UTF-8 only
# when the locale exists.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    echo "bootstrap: generating the ja_JP.UTF-8 locale"
    $sudo sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen ||
        echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
fi
