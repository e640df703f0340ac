#!/usr/bin/env bash
# Runs Kitwright on a sandbox Railvane installation of its own, in its own Wine prefix.
# With a display (DISPLAY set) the author uses the dialog, and the demo prints what was
# created once every window that Kitwright opened is closed. Without one the demo plays the
# author on a private display: it saves a creator identifier in Nameplate, makes a building
# from a template and a repaint of a stock model, and prints and photographs the result.
# Usage: demo.sh WINDOWS_BUILD_DIR
set -eu
build=$(cd "$1" && pwd -P)
here=$(cd "$(dirname "$0")" && pwd -P)
root=$(cd "$here/.." && pwd -P)
demo=$build/demo
bin=$build/bin
shots=$demo/screenshots
for file in Kitwright.exe Nameplate.exe velCompDLL.dll templates class_list.exe; do
    [ -e "$bin/$file" ] || { echo "demo: $bin/$file is missing; build first" >&2; exit 1; }
done

fail() {
    echo "demo: $*" >&2
    if [ -n "${DISPLAY:-}" ] && [ -n "${kitwright_xvfb:-}" ]; then
        import -window root -trim +repage "$shots/failure.png" 2>/dev/null &&
            echo "demo: the screen at that moment: $shots/failure.png" >&2
    fi
    exit 1
}

. "$here/wine-env.sh"
arch=$(kitwright_build_arch "$build")
"$here/wine-prefix.sh" "$demo" "$arch"
kitwright_wine_env "$demo" "$arch"
echo "demo: the $arch programs of $build, in a $WINEARCH Wine prefix of their own"
ln -sfn "$demo" "$WINEPREFIX/dosdevices/s:"

# The catalogue as the programs hold it, a row a line: label, template, category. A program
# that Wine starts may keep a pipe open, so it writes to a file.
wine "$bin/class_list.exe" </dev/null >"$demo/classes.txt" 2>/dev/null ||
    { echo "demo: could not list the catalogue with $bin/class_list.exe" >&2; exit 1; }
sed -i 's/\r$//' "$demo/classes.txt"
# Its Wine server ends with it, before the demo starts a lasting one.
wineserver -w

# The sandbox: a host installation and a repaint tool with every stock model of the
# catalogue's repaint rows. Each model's train folder is what a repaint starts from; its
# main.bmp is the preview.
host=$demo/Railvane
loft=$demo/LiveryLoft
mkdir -p "$host/World/Custom" "$loft" "$shots"
touch "$host/railvane.exe" "$loft/Railvane Livery Loft.exe"
models=$(awk -F '\t' '$4 != "" { print $4 }' "$demo/classes.txt")
make_model() {
    local model=$1 skin=$loft/skins/$1
    # A colour of the model's own, so that every preview and livery tells which it is.
    local colour="hsl($((0x$(printf '%s' "$model" | md5sum | cut -c1-4) % 360)),55%,38%)"
    mkdir -p "$skin/train"
    printf '%s\r\n' \
        "# Stock model $model of Railvane Livery Loft: paint livery.bmp to make a repaint." \
        "kind = traincar" "mesh = body.obj" "texture = livery.bmp" "stock-model = $model" \
        >"$skin/train/config.txt"
    printf '%s\n' "# $model body: a box the length of a car" "o body" \
        "v -1.4 0 -8" "v 1.4 0 -8" "v 1.4 3.9 -8" "v -1.4 3.9 -8" \
        "v -1.4 0 8" "v 1.4 0 8" "v 1.4 3.9 8" "v -1.4 3.9 8" \
        "f 1 2 3 4" "f 5 8 7 6" "f 1 5 6 2" "f 2 6 7 3" "f 3 7 8 4" "f 4 8 5 1" \
        >"$skin/train/body.obj"
    convert \( -size 64x64 "xc:$colour" -fill '#f2c12e' -draw 'rectangle 0,26 63,37' \
        -write "BMP3:$skin/train/livery.bmp" +delete \) \
        -size 128x64 "xc:$colour" -fill '#f2c12e' -draw 'rectangle 0,44 127,49' \
        -fill white -font DejaVu-Sans-Bold -pointsize 16 -gravity north -annotate +0+12 \
        "$model" "BMP3:$skin/main.bmp"
}
for model in $models; do
    [ -f "$loft/skins/$model/train/config.txt" ] || make_model "$model"
done

# Settings go in as .reg files, the form that a set-up by hand can take too.
reg_file() {
    local name=$1
    shift
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' "$@" >"$demo/$name"
}
import_reg() {
    for name; do
        timeout 60 wine regedit /S "S:\\$name" </dev/null >/dev/null 2>&1 ||
            { echo "demo: Wine could not import $demo/$name" >&2; exit 1; }
    done
}
# The App Paths entries by which Kitwright finds both, as their installers would write them.
app_paths='HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths'
reg_file app-paths.reg \
    "[$app_paths\\railvane.exe]" '@="S:\\Railvane\\railvane.exe"' '"Path"="S:\\Railvane"' '' \
    "[$app_paths\\Railvane Livery Loft.exe]" '@="S:\\LiveryLoft\\Railvane Livery Loft.exe"' \
    '"Path"="S:\\LiveryLoft"'
# Under the author's window manager Wine's windows are managed like any other.
x11='[HKEY_CURRENT_USER\Software\Wine\X11 Driver]'
reg_file author-display.reg "$x11" '"Managed"="Y"'
# The private display has no window manager, so Wine draws the frames itself; and the author
# is a new one, without a creator identifier, so Kitwright opens Nameplate beside it.
reg_file private-display.reg "$x11" '"Managed"="N"' '' \
    '[HKEY_CURRENT_USER\Software\Railvane\Content]' '"CreatorKUID"=-'

# The asset folders below World\Custom, one config.txt each.
assets() { (cd "$host/World/Custom" && find . -name config.txt | sed 's|^\./||; s|/config.txt$||' | sort); }
show_asset() {
    local folder=$host/World/Custom/$1
    echo "demo: $folder holds:"
    (cd "$folder" && find . -type f | sort | sed 's|^\./|  |')
    echo "demo: its config.txt:"
    sed 's/\r$//; s/^/  /' "$folder/config.txt"
}

if [ -n "${DISPLAY:-}" ]; then
    import_reg app-paths.reg author-display.reg
    before=$(assets)
    echo "demo: Railvane is at $host; new assets appear under $host/World/Custom"
    echo "demo: the demo ends when Kitwright and every window it opened are closed"
    wine "$bin/Kitwright.exe" </dev/null >"$demo/kitwright.log" 2>&1
    wineserver -w
    made=$(comm -13 <(printf '%s\n' "$before") <(assets))
    [ -n "$made" ] || { echo "demo: no asset was created"; exit 0; }
    while IFS= read -r asset; do show_asset "$asset"; done <<<"$made"
    exit 0
fi

# No display: a private one, and the demo plays the author.
kitwright_start_display
trap kitwright_stop_wine EXIT
# The desktop keeper keeps Wine's desktop open between the two runs of Kitwright.
kitwright_start_wine "$build/testing/desktop_keeper.exe"
import_reg app-paths.reg private-display.reg

# The id of the first visible window whose name matches, waiting up to $2 seconds. A search
# fails when a window goes while it looks, so it is only ever one try of many.
find_window() {
    local found
    for _ in $(seq $(($2 * 10))); do
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        [ -z "$found" ] || { echo "$found"; return; }
        sleep 0.1
    done
}
# Whether window $1 is still shown.
shown() { xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$1"; }
wait_gone() {
    for _ in $(seq $(($2 * 10))); do shown "$1" || return 0; sleep 0.1; done
    return 1
}
# A window's picture, or with "root" the screen's trimmed to the windows on it.
taken=()
shot() {
    local trim=()
    [ "$2" != root ] || trim=(-trim +repage)
    import -window "$2" "${trim[@]}" "$shots/$1.png" 2>/dev/null ||
        fail "could not take $shots/$1.png"
    taken+=("$shots/$1.png")
}
# The class list shows the catalogue's rows in table order, so a row's index is the number
# of Down presses from the first.
class_index() {
    awk -F '\t' -v want="$1" '$1 == want { print NR - 1; exit }' "$demo/classes.txt"
}

kuid=414243
# The identifier goes in through Nameplate's own window, as an author would enter it.
set_identifier() {
    local dialog box
    dialog=$(find_window '^Nameplate$' 30)
    [ -n "$dialog" ] || fail "Kitwright opened no Nameplate window, though no identifier was set"
    xdotool windowfocus --sync "$dialog" type --delay 20 "$kuid"
    shot nameplate root
    xdotool key --window "$dialog" Return
    # Nameplate confirms the save in a box of its own name; older builds simply close.
    for _ in $(seq 100); do
        box=$(xdotool search --onlyvisible --name '^Nameplate$' 2>/dev/null | grep -vx "$dialog" | head -n 1 || true)
        [ -n "$box" ] && break
        shown "$dialog" || break
        sleep 0.1
    done
    if [ -n "$box" ]; then
        sleep 0.3
        shot nameplate-saved "$box"
        xdotool windowfocus --sync "$box" key Return
    fi
    wait_gone "$dialog" 10 || fail "Nameplate did not close: the identifier $kuid was not saved"
    echo "demo: Nameplate saved the creator identifier $kuid"
}

# One run of Kitwright: pick the class, type a Name and a Description, press Create.
create() {
    local label=$1 name=$2 description=$3 category=$4 shot_name=$5 index window pid explorer
    index=$(class_index "$label")
    [ -n "$index" ] || fail "the catalogue has no class \"$label\""
    echo "demo: Kitwright: class $label, Name $name"
    # Backslashes in a Name make folders; on this side of Wine they are slashes.
    local folder=$category/${name//\\//}
    rm -rf "$host/World/Custom/$folder"
    wine "$bin/Kitwright.exe" </dev/null >"$demo/kitwright.log" 2>&1 &
    pid=$!
    # The dialog's caption starts "Kitwright (v"; its message boxes have other captions.
    window=$(find_window '^Kitwright \(v' 60)
    [ -n "$window" ] || fail "the Kitwright dialog did not open"
    [ "$kuid_set" = yes ] || { set_identifier; kuid_set=yes; }
    # Focus starts on Close; Shift+Tab reaches the class list, then Description, then Name.
    xdotool windowfocus --sync "$window" key shift+Tab
    [ "$index" -eq 0 ] || xdotool key --repeat "$index" --delay 15 Down
    xdotool key shift+Tab shift+Tab type --delay 15 "$name"
    xdotool key Tab type --delay 15 "$description"
    sleep 0.3
    shot "$shot_name" "$window"
    # Enter in Name presses the default button, Create.
    xdotool key shift+Tab Return
    local asset=$host/World/Custom/$folder
    # Kitwright's own message boxes carry its bare name: a refusal or a failed write.
    for _ in $(seq 150); do
        [ -f "$asset/config.txt" ] && break
        xdotool search --onlyvisible --name '^Kitwright$' >/dev/null 2>&1 &&
            fail "Kitwright answered Create with a message instead of making $asset"
        sleep 0.1
    done
    [ -f "$asset/config.txt" ] || fail "no asset appeared at $asset"
    # Kitwright opens the new folder in the file explorer and ends.
    # Its window is named after the folder: the Name's last part.
    explorer=$(find_window "^${name##*\\}\$" 30)
    if [ -n "$explorer" ]; then
        sleep 0.5
        shot "$shot_name-result" "$explorer"
        xdotool windowfocus --sync "$explorer" key alt+F4
        wait_gone "$explorer" 10 || fail "the explorer window did not close"
    else
        echo "demo: no explorer window showed $name" >&2
    fi
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "Kitwright did not end after Create"
    grep -q "^kuid = <kuid:$kuid:" "$asset/config.txt" ||
        fail "$asset/config.txt does not carry the creator identifier $kuid"
    show_asset "$folder"
}

echo "demo: Railvane is at $host, Railvane Livery Loft with $(echo "$models" | wc -l) stock models at $loft"
kuid_set=no
create 'BH Home & Residential' 'Shops\Corner Shop' \
    $'A corner shop with lit windows,\nmade by the demo.' Scenery kitwright-template
create 'RESKIN gp38' 'GP38 Blue' $'The GP38 in blue\nwith a yellow stripe.' Trains kitwright-repaint
echo "demo: screenshots:"
printf '  %s\n' "${taken[@]}"
