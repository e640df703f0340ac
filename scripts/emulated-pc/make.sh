#!/usr/bin/env bash
# Makes the emulated 32-bit-capable PC that scripts/emulated-i686.sh starts, or finds it made:
# a Debian root with i386 multiarch and 32-bit Wine, installed from this machine's own apt
# sources into a disk image; this machine's kernel; and a small initramfs that loads the
# drivers of the disk and of the folder shared with this machine. A guest is kept under its
# key: this script, the guest's init, the kernel and this machine's Wine. A change to any of
# them makes it again, and older guests are removed.
# Usage: make.sh CACHE_DIR
#   Prints "made FOLDER" or "kept FOLDER", the guest's folder (root.img, vmlinuz,
#   initrd.img); on failure, one line with the reason and the log, also left in
#   CACHE_DIR/failed. Everything it runs has a time limit.
# Environment: KITWRIGHT_GUEST_KERNEL, the kernel to boot (by default the newest
#   /boot/vmlinuz-*, from the package linux-image-amd64).
set -eu
here=$(cd "$(dirname "$0")" && pwd -P)
mkdir -p "$1"
cache=$(cd "$1" && pwd -P)
rm -f "$cache/failed"

# What the guest needs to run the shipped programs and their tests, and nothing to boot it:
# the kernel comes from outside, PID 1 is our init. No 64-bit Wine: only i686 runs there.
packages=wine,wine32:i386,xvfb,xauth,fonts-wine,unzip,xdotool,imagemagick,procps,mount
# The root's free space: a 32-bit prefix takes about 590 MB, and the tests make two.
free_mb=2560

fail() {
    echo "the guest cannot be made: $*" >"$cache/failed"
    echo "emulated PC: the guest cannot be made: $*" >&2
    exit 1
}
sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo

kernel=${KITWRIGHT_GUEST_KERNEL:-$(find /boot -maxdepth 1 -name 'vmlinuz-*' 2>/dev/null |
    sort -V | tail -n 1)}
[ -n "$kernel" ] || fail "no kernel: /boot holds no vmlinuz-* (package linux-image-amd64)"
[ -f "$kernel" ] || fail "no kernel: $kernel does not exist (package linux-image-amd64)"
version=${kernel##*/vmlinuz-}
modules=/lib/modules/$version
[ -d "$modules" ] || fail "no modules for the kernel $kernel in $modules"
for tool in mmdebstrap mkfs.ext4 mkinitramfs lz4; do
    command -v "$tool" >/dev/null ||
        fail "$tool is not installed (scripts/bootstrap.sh emulated-pc installs it)"
done

# The Debian entries of this machine's apt sources, for its own release, as one-line sources:
# the guest is installed from the same mirror as this machine, whichever that is.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$codename" ] || fail "/etc/os-release names no release (VERSION_CODENAME)"
debian_sources() {
    local list
    for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
        /etc/apt/sources.list.d/*.sources; do
        [ ! -f "$list" ] || awk -v code="$codename" -f "$here/debian-sources.awk" "$list"
    done
}
sources=$(debian_sources | sort -u)
[ -n "$sources" ] ||
    fail "this machine's apt sources have no entry for $codename main (/etc/apt/sources.list.d)"

key=$( {
    cat "$here/make.sh" "$here/init"
    echo "kernel $version $(sha256sum <"$kernel")"
    dpkg-query -W -f='wine ${Version}\n' wine 2>/dev/null || true
} | sha256sum | cut -c1-16)
guest=$cache/guest-$key
if [ -f "$guest/made" ] && [ -f "$guest/root.img" ] && [ -f "$guest/vmlinuz" ] &&
    [ -f "$guest/initrd.img" ]; then
    echo "emulated PC: the guest is made already ($guest)" >&2
    echo "kept $guest"
    exit 0
fi

making=$cache/making-$key
log=$cache/make.log
$sudo rm -rf "$making"
mkdir -p "$making"
: >"$log"
started=$SECONDS
step() {
    local what=$1 limit=$2
    shift 2
    local began=$SECONDS status=0
    echo "== $what (limit $limit s): $*" >>"$log"
    timeout --kill-after=10 "$limit" "$@" </dev/null >>"$log" 2>&1 || status=$?
    if [ $status -ne 0 ]; then
        local reason
        reason=$(grep -E '^(E|W): |[Ee]rror|[Ff]ail' "$log" | tail -n 1)
        [ $status -ne 124 ] || reason="did not end within $limit s"
        $sudo rm -rf "$making"
        fail "$what failed: ${reason:-$(tail -n 1 "$log")} (log: $log)"
    fi
    echo "emulated PC: $what in $((SECONDS - began)) s" >&2
}

echo "emulated PC: making the guest for kernel $version from this machine's apt sources" \
    "($codename); log: $log" >&2
printf '%s\n' "$sources" >"$making/sources.list"
excludes=()
for path in /usr/share/man /usr/share/doc /usr/share/info /usr/share/locale; do
    excludes+=("--dpkgopt=path-exclude=$path/*")
done
step "the root's packages" 900 $sudo mmdebstrap --variant=apt --architectures=amd64,i386 \
    --include="$packages" "${excludes[@]}" --aptopt='Acquire::Languages "none"' \
    --customize-hook="install -m 755 '$here/init' \"\$1/sbin/kitwright-init\"" \
    "$codename" "$making/root" "$making/sources.list"

used_mb=$($sudo du -sm "$making/root" | cut -f1)
step "the disk image" 300 $sudo mkfs.ext4 -q -F -L kitwright-guest -d "$making/root" \
    "$making/root.img" "$((used_mb + free_mb))M"
$sudo rm -rf "$making/root"
[ -z "$sudo" ] || $sudo chown "$(id -u):$(id -g)" "$making/root.img"

# Only the drivers of the disk, its file system and the shared folder, unpacked fast.
conf=$making/initramfs
mkdir -p "$conf/scripts" "$conf/conf.d"
printf '%s\n' MODULES=list BUSYBOX=n COMPRESS=lz4 RESUME=none FSTYPE=ext4 >"$conf/initramfs.conf"
printf '%s\n' virtio_pci virtio_blk ext4 9pnet_virtio 9p >"$conf/modules"
step "the initramfs" 300 mkinitramfs -d "$conf" -o "$making/initrd.img" "$version"
rm -rf "$conf"
cp "$kernel" "$making/vmlinuz" || fail "the kernel $kernel cannot be read"
rm "$making/sources.list"
echo "$version" >"$making/made"

rm -rf "$cache"/guest-*
mv "$making" "$guest"
echo "emulated PC: the guest made in $((SECONDS - started)) s" >&2
echo "made $guest"
