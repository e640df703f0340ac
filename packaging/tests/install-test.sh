#!/usr/bin/env bash
# Installs the 32-bit MSI in a fresh Wine prefix of its own, checks what it put where, uses
# the installed programs, uninstalls, and checks that nothing of ours is left but the author's
# asset and settings. The prefix is of the probe's architecture: a 32-bit one for an i686
# build, where the installed programs are also used; a 64-bit one for an x86_64 build, which
# installs, checks and removes the 32-bit files as 64-bit Windows does, but cannot run them.
# Usage: install-test.sh WINDOWS_BUILD_DIR DIST_DIR [SECOND_DIST_DIR]
#   WINDOWS_BUILD_DIR holds packaging/install_probe.exe; DIST_DIR one MSI and one zip;
#   SECOND_DIST_DIR the MSI of another build of the same version, installed over the first.
set -eu
build=$(cd "$1" && pwd -P)
dist=$(cd "$2" && pwd -P)
root=$(cd "$(dirname "$0")/../.." && pwd -P)
probe=$build/packaging/install_probe.exe
msis=("$dist"/Kitwright-*.msi)
zips=("$dist"/Kitwright-*.zip)
if [ ${#msis[@]} -ne 1 ] || [ ! -f "${msis[0]}" ] || [ ${#zips[@]} -ne 1 ] || [ ! -f "$probe" ]; then
    echo "install test: needs one MSI and one zip in $dist and $probe" >&2
    exit 1
fi
msi=${msis[0]}
windows_path() { echo "Z:${1//\//\\}"; }
msi_windows=$(windows_path "$msi")
second=
if [ $# -ge 3 ]; then
    second=$(echo "$(cd "$3" && pwd -P)"/Kitwright-*.msi)
    [ -f "$second" ] || { echo "install test: needs one MSI in $3" >&2; exit 1; }
fi
version=$(sed -n 's/^project(Kitwright VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")

work=$build/install-test
rm -rf "$work"
mkdir -p "$work"
# Always a prefix of our own; and Wine's menu builder would copy the shortcuts into the
# Linux desktop's menus, outside the prefix.
unset KITWRIGHT_WINEPREFIX
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
. "$root/scripts/wine-env.sh"
arch=$(kitwright_build_arch "$build")
"$root/scripts/wine-prefix.sh" "$work" "$arch"
kitwright_wine_env "$work" "$arch"
kitwright_start_display
trap kitwright_stop_wine EXIT
kitwright_start_wine

drive_c=$WINEPREFIX/drive_c
# 64-bit Windows puts a 32-bit program's files, and its entries in the list of installed
# programs, where 32-bit programs see them; a 32-bit program reads its registry view alone.
if [ "$arch" = i686 ]; then
    program_files='Program Files'
    view=()
    uses_programs=yes
else
    program_files='Program Files (x86)'
    view=(/reg:32)
    uses_programs=no
fi
installed="C:\\$program_files\\Kitwright"
installed_unix="$drive_c/$program_files/Kitwright"
not_run=()
app_paths='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths'
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
asset_unix="$drive_c/Railvane/World/Custom/Scenery/Corner Shop"
kuid=414243
failures=0
passed=0
ok() { passed=$((passed + 1)); }
fail() {
    echo "install test: FAILED: $*" >&2
    failures=$((failures + 1))
}
check() {
    local what=$1
    shift
    if "$@"; then ok "$what"; else fail "$what"; fi
}
same() { [ "$1" = "$2" ] || { echo "  got '$1', expected '$2'" >&2; return 1; }; }
differ() { [ "$1" != "$2" ] || { echo "  both '$1'" >&2; return 1; }; }
not() { ! "$@"; }
# A Windows program's output, read from a file: a program Wine starts may hold a pipe open.
run() {
    local out=$1
    shift
    local status=0
    wine "$@" </dev/null >"$work/$out" 2>/dev/null || status=$?
    tr -d '\r' <"$work/$out" >"$work/$out.txt"
    return $status
}
# A registry value's data, or nothing with status 1 when the key or value is missing.
reg_value() {
    local name=(/v "$2")
    [ -n "$2" ] || name=(/ve)
    run reg reg query "$1" "${name[@]}" "${view[@]}" || return 1
    sed -n 's/^    .*    REG_[A-Z_]*    //p' "$work/reg.txt"
}
# The uninstall entries whose DisplayName is Kitwright, one key a line.
uninstall_entries() {
    run entries reg query "$uninstall" /s "${view[@]}" || true
    awk '/^HKEY_/ { key = $0 } /^    DisplayName    REG_SZ    Kitwright$/ { print key }' \
        "$work/entries.txt"
}

stage="installer ($(basename "$msi"), $WINEARCH prefix)"
echo "$stage: installed by $arch msiexec; the installed programs are i686"
check "msiexec /i installs quietly" \
    wine msiexec /i "$msi_windows" /qn /l* 'C:\install.log' </dev/null

# The installed folder is the zip's, guide included.
unzip -q "${zips[0]}" -d "$work/zip"
check "$program_files\\Kitwright holds the programs, every template file and the guide, as the zip" \
    diff -r "$work/zip/Kitwright" "$installed_unix"

run shortcuts "$probe" shortcuts || true
menu=$(sed -n 's/^folder //p' "$work/shortcuts.txt")
check "one Kitwright folder in the Programs menu" same "$(echo "$menu" | grep -c .)" 1
for program in Kitwright Nameplate; do
    line=$(grep "^shortcut $program.lnk " "$work/shortcuts.txt" || true)
    # A working folder may be written with its trailing backslash or without.
    check "the $program shortcut starts $program.exe in the install folder" \
        same "${line%\\}" "shortcut $program.lnk -> $installed\\$program.exe in $installed"
done
line=$(grep "^shortcut Kitwright guide.lnk " "$work/shortcuts.txt" || true)
check "the guide's shortcut opens README.txt in the install folder" \
    same "${line%\\}" "shortcut Kitwright guide.lnk -> $installed\\README.txt in $installed"
check "no other shortcut" same "$(grep -c '^shortcut' "$work/shortcuts.txt")" 3
cp "$work/shortcuts.txt" "$work/shortcuts-first.txt"

check "App Paths names the installed Nameplate.exe" \
    same "$(reg_value "$app_paths\\Nameplate.exe" '')" "$installed\\Nameplate.exe"
path=$(reg_value "$app_paths\\Nameplate.exe" Path || true)
check "App Paths gives the install folder as Nameplate's Path" same "${path%\\}" "$installed"
if [ $uses_programs = yes ]; then
    run find "$probe" find Nameplate.exe || true
    check "the shell starts Nameplate.exe by its bare name from C:\\" \
        same "$(cat "$work/find.txt")" "started $installed\\Nameplate.exe"
else
    not_run+=("the shell's start of Nameplate.exe by its bare name")
fi

entries=$(uninstall_entries)
check "one uninstall entry named Kitwright" same "$(echo "$entries" | grep -c .)" 1
entry=$(echo "$entries" | head -n 1)
product=${entry##*\\}
check "the entry gives version $version" same "$(reg_value "$entry" DisplayVersion)" "$version"
check "the entry gives the publisher" [ -n "$(reg_value "$entry" Publisher)" ]
check "the entry's command removes its product" \
    grep -q -i -x "msiexec.exe /x$product" <(reg_value "$entry" UninstallString)
check "the entry offers no Modify" same "$(reg_value "$entry" NoModify)" 0x1

# The installed programs at work: an asset made with the installed library and template, as
# Kitwright would make it, and Kitwright from its Start menu shortcut, as an author starts it.
wine reg add 'HKCU\Software\Railvane\Content' /v CreatorKUID /t REG_DWORD /d $kuid /f \
    </dev/null >/dev/null 2>&1
if [ $uses_programs = yes ]; then
    wine reg add "$app_paths\\railvane.exe" /v Path /d 'C:\Railvane' /f </dev/null >/dev/null 2>&1
    mkdir -p "$(dirname "$asset_unix")"
    check "the installed velCompDLL.dll builds an asset from an installed template" \
        run create "$probe" create "$installed\\velCompDLL.dll" \
        "$installed\\templates\\std_scenery\\" 'C:\Railvane\World\Custom\Scenery\' \
        'Corner Shop' 'A corner shop'
    check "the asset carries the author's identifier" \
        grep -q -x "kuid = <kuid:$kuid:1>"$'\r' "$asset_unix/config.txt"
    check "the asset's model is the installed template's" \
        cmp -s "$asset_unix/main.obj" "$installed_unix/templates/std_scenery/main.obj"

    shortcut="$menu\\Kitwright.lnk"
    wine start /wait "$shortcut" </dev/null >/dev/null 2>&1 &
    kitwright=$!
    window=$(timeout "$(kitwright_seconds 60)" \
        xdotool search --sync --onlyvisible --name '^Kitwright \(v' | head -n 1 || true)
    check "Kitwright started from its shortcut shows its dialog" [ -n "$window" ]
    if [ -n "$window" ]; then
        import -window root "$work/kitwright.png"
        xdotool windowfocus --sync "$window" key Escape
    fi
    for _ in $(seq "$(kitwright_seconds 100)"); do
        kill -0 $kitwright 2>/dev/null || break
        sleep 0.1
    done
    check "Kitwright ends when its dialog is closed" not kill -0 $kitwright 2>/dev/null
    kill $kitwright 2>/dev/null || true
else
    not_run+=("an asset made with the installed velCompDLL.dll"
              "Kitwright started from its shortcut")
fi

# Another build of this version, as an author who downloads Kitwright again gets it.
if [ -n "$second" ]; then
    check "a second build of this version installs over the first" \
        wine msiexec /i "$(windows_path "$second")" /qn </dev/null
    entries=$(uninstall_entries)
    check "one uninstall entry is left" same "$(echo "$entries" | grep -c .)" 1
    check "it is the second build's" differ "$entries" "$entry"
    entry=$(echo "$entries" | head -n 1)
    product=${entry##*\\}
    check "the installed files are still the zip's" \
        diff -r "$work/zip/Kitwright" "$installed_unix"
    run shortcuts "$probe" shortcuts || true
    check "the shortcuts are as before" cmp -s "$work/shortcuts-first.txt" "$work/shortcuts.txt"
    check "the App Paths entry still names Nameplate.exe" \
        same "$(reg_value "$app_paths\\Nameplate.exe" '')" "$installed\\Nameplate.exe"
fi

# Uninstalled as Programs and Features would: by the entry's product code.
check "msiexec /x removes it quietly" wine msiexec /x "${product:-$msi_windows}" /qn \
    </dev/null
check "$program_files\\Kitwright is gone" [ ! -e "$installed_unix" ]
run shortcuts "$probe" shortcuts || true
check "the Start menu folder and its shortcuts are gone" same "$(cat "$work/shortcuts.txt")" ""
check "the App Paths entry is gone" not reg_value "$app_paths\\Nameplate.exe" ''
# Where the probe cannot start the installed programs, it could not start them either way.
[ $uses_programs = no ] ||
    check "the shell no longer finds Nameplate.exe" not run find "$probe" find Nameplate.exe
check "the uninstall entry is gone" same "$(uninstall_entries)" ""
[ $uses_programs = no ] || check "the author's asset is still there" [ -f "$asset_unix/config.txt" ]
check "the author's identifier is still set" \
    same "$(reg_value 'HKCU\Software\Railvane\Content' CreatorKUID)" "$(printf '0x%x' $kuid)"

# Nothing else in the prefix names Kitwright: its registry is on disk once the server ends.
wineserver -k >/dev/null 2>&1 || true
timeout "$(kitwright_seconds 30)" wineserver -w || true
check "no file and no registry entry of the prefix names Kitwright" \
    same "$(find "$drive_c" -iname '*kitwright*'; grep -i -l kitwright "$WINEPREFIX"/*.reg)" ""

if [ ${#not_run[@]} -ne 0 ]; then
    not_run_text=$(printf '%s; ' "${not_run[@]}")
    echo "install test: not run, as this $arch probe cannot run the installed i686 programs:" \
        "${not_run_text%; }"
fi
if [ $failures -ne 0 ]; then
    echo "install test: $failures checks FAILED; msiexec's log is $drive_c/install.log" >&2
    kitwright_record "$stage" "$arch" "$failures of $((passed + failures)) checks FAILED"
    exit 1
fi
used=
[ $uses_programs = no ] || used=" used,"
echo "install test: all $passed checks passed: $(basename "$msi") installed,$used" \
    "${second:+installed over by a second build, }removed"
kitwright_record "$stage" "$arch" "all $passed checks passed${not_run_text:+; the installed programs not run}"
