#!/usr/bin/env bash
# Runs what ships, the 32-bit files, in an emulated 32-bit-capable PC: for machines that
# execute no 32-bit code, where no Wine starts them. The PC (scripts/emulated-pc/make.sh) is
# made once and kept under the build folder; each run boots it under qemu's software
# emulation on a throw-away copy of its disk, hands it the shipped files and the test
# programs through a shared folder, and runs in it (scripts/emulated-pc/job.sh) the 32-bit
# loader's wine --version, the 32-bit zip's release test and the 32-bit MSI's install test:
# the project's own scripts, their limits scaled by KITWRIGHT_TIME_FACTOR. The guest's log
# comes back beside the PC; a failure ends in one line with its reason; qemu is ended when the
# guest overruns its limit.
# Usage: emulated-i686.sh WINDOWS_BUILD_DIR DIST_DIR
#   WINDOWS_BUILD_DIR: the i686 build with the release and install tests' programs;
#   DIST_DIR: make dist's zip and MSI. Both inside the project.
# Environment: KITWRIGHT_GUEST_LIMIT, the seconds the guest may run (by default 1200, times
#   KITWRIGHT_TIME_FACTOR); KITWRIGHT_GUEST_KERNEL (make.sh).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd -P)
here=$root/scripts
build=$(cd "$1" && pwd -P)
dist=$(cd "$2" && pwd -P)
. "$here/wine-env.sh"
cache=$root/build/emulated-pc
run=$cache/run
log=$cache/guest.log
# Programs start in the guest about 15 to 44 times slower than natively.
factor=$(kitwright_seconds 20)
limit=${KITWRIGHT_GUEST_LIMIT:-$(kitwright_seconds 1200)}
stages="release install"
# The install test makes a second prefix: it runs only when the guest has been up for less
# than this when the release test ends, so that a busy machine stays near its 6 minutes.
budget=$(kitwright_seconds 150)
started=$SECONDS

fail() {
    echo "emulated PC: FAILED: $*" >&2
    kitwright_record "emulated PC" i686 "FAILED: $*"
    exit 1
}
minutes() {
    if [ "$1" -lt 90 ]; then echo "$1 s"; else echo "$((($1 + 30) / 60)) min"; fi
}

case $limit in
'' | *[!0-9]* | 0*) fail "KITWRIGHT_GUEST_LIMIT is '$limit': it must be a whole number of seconds" ;;
esac
mkdir -p "$cache"
exec 9>"$cache/lock"
flock -n 9 || fail "another emulated PC runs from $cache"
command -v qemu-system-x86_64 >/dev/null ||
    fail "qemu-system-x86_64 is not installed (scripts/bootstrap.sh emulated-pc)"

# The project's files that the guest's stages use, at their paths inside the project.
files=(scripts packaging/tests CMakeLists.txt
    "${build#"$root"/}/CMakeCache.txt" "${build#"$root"/}/bin/release_tests.exe"
    "${build#"$root"/}/standins" "${build#"$root"/}/testing/desktop_keeper.exe"
    "${build#"$root"/}/packaging/install_probe.exe")
for file in "$dist"/Kitwright-*.zip "$dist"/Kitwright-*.msi; do files+=("${file#"$root"/}"); done
for file in "${files[@]}"; do
    case $file in /*) fail "$file is outside the project $root" ;; esac
    [ -e "$root/$file" ] || fail "$root/$file is missing (make windows dist)"
done

made=$SECONDS
guest=$("$here/emulated-pc/make.sh" "$cache") || {
    kitwright_record "emulated PC" i686 "FAILED: $(cat "$cache/failed" 2>/dev/null)"
    exit 1
}
case $guest in
made\ *) making="guest made in $(minutes $((SECONDS - made)))" ;;
*) making="guest kept from an earlier run" ;;
esac
guest=${guest#* }

rm -rf "$run"
mkdir -p "$run/project"
(cd "$root" && cp -r --parents "${files[@]}" "$run/project/")
cp "$here/emulated-pc/job.sh" "$run/"
printf 'PROJECT=%q\nBUILD=%q\nDIST=%q\nKITWRIGHT_TIME_FACTOR=%q\nSTAGES=%q\nBUDGET=%q\n' \
    "$root" "$build" "$dist" "$factor" "$stages" "$budget" >"$run/job.env"
# The job's own limit leaves the guest a minute to boot and to power off.
echo $((limit > 120 ? limit - 60 : limit)) >"$run/limit"

echo "emulated PC: booting $guest under qemu (TCG, 2 processors), limit $limit s; the" \
    "guest's log: $log"
: >"$log"
booting=$SECONDS
cmdline="console=ttyS0 root=/dev/vda rw rootfstype=ext4 init=/sbin/kitwright-init quiet panic=1"
status=0
timeout --kill-after=10 "$limit" qemu-system-x86_64 -accel tcg,thread=multi -smp 2 -m 4096 \
    -cpu max,smap=off -kernel "$guest/vmlinuz" -initrd "$guest/initrd.img" \
    -append "$cmdline" \
    -drive "file=$guest/root.img,format=raw,if=virtio,snapshot=on" \
    -virtfs "local,path=$run,mount_tag=kitwright,security_model=none" \
    -nic none -display none -monitor none -no-reboot -serial "file:$log" \
    </dev/null >"$cache/qemu.log" 2>&1 &
qemu=$!
tail -n +1 --pid=$qemu -f "$log" 2>/dev/null | tr -d '\r' | sed 's/^/  guest| /' || true
wait $qemu || status=$?
total=$((SECONDS - started))

first_line() { grep -m 1 -E "$1" "$2" 2>/dev/null | tr -d '\r' || true; }
if [ $status -eq 124 ] || [ $status -eq 137 ]; then
    fail "the guest did not finish within its limit of $limit s (log: $log)"
elif [ ! -f "$run/booted" ]; then
    if [ $status -ne 0 ]; then
        fail "qemu could not start the guest: $(grep . "$cache/qemu.log" | tail -n 1)"
    fi
    why=$(first_line 'Kernel panic|not syncing|Gave up|ALERT|could not be mounted' "$log")
    [ -n "$why" ] || why=$(tr -d '\r' <"$log" | grep . | tail -n 1)
    fail "the guest did not boot: ${why:-its kernel wrote nothing} (qemu ended after" \
        "$((SECONDS - booting)) s; log: $log)"
elif [ ! -f "$run/status" ]; then
    fail "the guest stopped before its job ended (qemu exit $status; log: $log)"
elif [ "$(cat "$run/status")" != 0 ]; then
    why=$(first_line 'FAILED|did not end' "$log")
    fail "in the guest: ${why:-its job ended with exit $(cat "$run/status")} (log: $log)"
fi

# The guest's stages, into this machine's ledger, named as run in the emulated PC.
if [ -f "$run/ledger.txt" ]; then
    while IFS=$'\t' read -r name arch text; do
        kitwright_record "$name, in the emulated PC" "$arch" "$text"
    done <"$run/ledger.txt"
fi
seconds() {
    awk -F '\t' -v name="$1" '$1 == name { s = $2 " s" } END { print s ? s : "not run" }' \
        "$run/times"
}
booted=$(sed -n 's/.* started \([0-9]*\).* after the kernel/\1 s/p' "$run/booted")
prefixes=$(sed -n 's/^wine-prefix: made the win32 prefix .* in \([0-9]* s\).*/\1/p' \
    "$run"/release.log "$run"/install.log 2>/dev/null | paste -sd '+' - | sed 's/+/ and /g')
echo "emulated PC: $(cat "$run/wine.log") ran the shipped files; $making, booted in" \
    "${booted:-?}, the 32-bit prefixes made in ${prefixes:-?}, release test $(seconds release)" \
    "(prefix included), install test $(seconds install), total $(minutes $total)"
# What ran, as the guest's ledger has it.
outcome() { awk -F '\t' -v stage="$1" 'index($1, stage) == 1 { print $3 }' "$run/ledger.txt"; }
ran="release test $(outcome 'release test' | sed 's/ (.*//')"
case $(outcome installer) in
'') ;;
"not run"*) ran+=", MSI not run (over the time budget)" ;;
*) ran+=", MSI installed and used" ;;
esac
kitwright_record "emulated PC" i686 "$ran, $(minutes $total)"
