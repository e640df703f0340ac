#!/usr/bin/env bash
# Runs Kitwright on a sandbox Railvane installation of its own, in its own Wine prefix.
# With a display (DISPLAY set) the author uses the dialog; without one, the demo types a
# Name and a Description itself, presses Create and shows what was written.
# Usage: demo.sh WINDOWS_BUILD_DIR
set -eu
build=$(cd "$1" && pwd -P)
here=$(cd "$(dirname "$0")" && pwd -P)
demo=$build/demo
bin=$build/bin
mkdir -p "$demo"
"$here/wine-prefix.sh" "$demo"
. "$here/wine-env.sh"
kitwright_wine_env "$demo"

# The sandbox: a host installation and a repaint tool with all 34 stock models.
host=$demo/Railvane
loft=$demo/LiveryLoft
mkdir -p "$host/World/Custom" "$loft"
touch "$host/railvane.exe" "$loft/Railvane Livery Loft.exe"
models="1044 3dtcar 40ft_boxcar 50ft_2door_boxcar 50ft_gondola 54ft_covered_hopper 6e1 alco
Bay_window_caboose bb15000 Class_2100 class37 class43 class50 class55 dl500_double dl500_single
eaos f7 f7b faoos flatcar gbs gp38 gs nohab Rc4 rils sd40_2 sssy716container sw7 uh v200 vrs"
for model in $models; do
    skin=$loft/skins/$model
    [ -f "$skin/main.bmp" ] && continue
    mkdir -p "$skin/train"
    printf 'livery of %s\n' "$model" >"$skin/train/livery.txt"
    convert -size 64x32 "xc:#2f5f9f" -fill white -draw "rectangle 4,12 59,19" "BMP3:$skin/main.bmp"
done
ln -sfn "$demo" "$WINEPREFIX/dosdevices/s:"

reg() { wine reg add "$@" /f </dev/null >/dev/null 2>&1; }
app_paths='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths'
reg "$app_paths\\railvane.exe" /v Path /d 'S:\Railvane'
reg "$app_paths\\Railvane Livery Loft.exe" /v Path /d 'S:\LiveryLoft'

if [ -n "${DISPLAY:-}" ]; then
    echo "demo: Railvane is at $host; new assets appear under $host/World/Custom"
    wine "$bin/Kitwright.exe" </dev/null
    wineserver -w
    exit 0
fi

# No display: a private one, and the demo drives the dialog itself.
reg 'HKCU\Software\Railvane\Content' /v CreatorKUID /t REG_DWORD /d 414243
# Wine's desktop started above without a display; the next start must find ours.
wineserver -k >/dev/null 2>&1 || true
kitwright_start_display
trap 'wineserver -k >/dev/null 2>&1 || true; kill $kitwright_xvfb 2>/dev/null || true' EXIT

name="Demo Shop $(date +%H%M%S)"
wine "$bin/Kitwright.exe" </dev/null >/dev/null 2>&1 &
# The dialog's caption starts "Kitwright (v"; its message boxes have other captions.
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Kitwright \(v' | head -n 1)
if [ -z "$window" ]; then
    echo "demo: the Kitwright dialog did not open" >&2
    exit 1
fi
sleep 1
import -window root "$demo/kitwright-demo.png"
# Focus starts on Close; Tab reaches Template, then Name, then Description.
xdotool windowfocus --sync "$window" key Tab Tab
xdotool type --delay 20 "$name"
xdotool key Tab
xdotool type --delay 20 "A corner shop, made by the demo."
xdotool key shift+Tab Return
asset=$host/World/Custom/Scenery/$name
for _ in $(seq 100); do [ -f "$asset/config.txt" ] && break; sleep 0.1; done
if [ ! -f "$asset/config.txt" ]; then
    echo "demo: no asset appeared at $asset" >&2
    exit 1
fi
echo "demo: Kitwright created $asset:"
(cd "$asset" && find . -type f | sort | sed 's/^/  /')
echo "demo: its config.txt:"
sed 's/^/  /' "$asset/config.txt"
echo "demo: screenshot of the dialog: $demo/kitwright-demo.png"
