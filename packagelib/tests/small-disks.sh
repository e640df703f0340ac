#!/bin/sh
# Mounts the small file systems that the library-reason tests write to, or takes them away.
#   small-disks.sh up|down FOLDER
# "full" is a tmpfs already full, "readonly" one mounted read-only; both hold an empty
# Railvane\World\Custom\Scenery. Without root nothing is mounted and the tests skip.
set -u
action=$1
folder=$2
case $action in
up)
    "$0" down "$folder"
    [ "$(id -u)" -eq 0 ] || exit 0
    mkdir -p "$folder/full" "$folder/readonly"
    mount -t tmpfs -o size=64k tmpfs "$folder/full" || exit 0
    mkdir -p "$folder/full/Railvane/World/Custom/Scenery"
    dd if=/dev/zero of="$folder/full/filler" bs=4k 2>/dev/null
    mount -t tmpfs -o size=1m tmpfs "$folder/readonly" || exit 0
    mkdir -p "$folder/readonly/Railvane/World/Custom/Scenery"
    mount -o remount,ro "$folder/readonly" || exit 0
    mkdir -p "$folder/mounted"
    ;;
down)
    for disk in full readonly; do
        mountpoint -q "$folder/$disk" 2>/dev/null && umount -l "$folder/$disk"
    done
    rm -rf "$folder"
    ;;
esac
exit 0
