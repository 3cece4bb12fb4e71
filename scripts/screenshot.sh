#!/usr/bin/env bash
# Starts the real tool under Xvfb and saves four screenshots for a reviewer: the window as it
# starts, with the info panel open (after a double click on the picture), the game view of a
# built package of two skins with faces, after "Use the game's INT", and the game view of the
# same package as a folder of pictures, one saved again and one half saved.
#   ./scripts/screenshot.sh [output-folder]      (default: screenshots/)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/screenshots}
exe="$root/build/src/window/quorrel-file-generator"

need=()
for tool in Xvfb:xvfb xdotool:xdotool import:imagemagick; do
    command -v "${tool%%:*}" >/dev/null || need+=("${tool##*:}")
done
if [ ${#need[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}" xauth
    else
        echo "Install first: sudo apt-get install -y ${need[*]}"; exit 1
    fi
fi
[ -x "$exe" ] || { echo "Build first: ./scripts/dev.sh run (or test)"; exit 1; }
mkdir -p "$out"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app=
cleanup() { [ -n "$app" ] && kill "$app" 2>/dev/null; kill "$xvfb" 2>/dev/null; true; }
trap cleanup EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

"$exe" &
app=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quorrel File Generator$' | head -n 1)
sleep 1
import -window "$window" "$out/start.png"

# The picture sits at 136,2 (pixels) in the window, 72 x 57 large.
xdotool mousemove --window "$window" 170 30 click --repeat 2 --delay 60 1
sleep 1
import -window "$window" "$out/info-panel.png"
kill "$app"

# Starts the tool on what the command line names and opens the game view ($view) with Ctrl+G.
open_game_view() {
    "$exe" "$1" &
    app=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quorrel File Generator$' | head -n 1)
    sleep 1
    xdotool windowfocus --sync "$window" key ctrl+g
    view=$(timeout 20 xdotool search --sync --onlyvisible --name 'Game View$' | head -n 1)
    sleep 1
}

# The game view: the package given on the command line.
packages=$(mktemp -d)
trap 'cleanup; rm -rf "$packages"' EXIT
"$root/build/bench/make_packages" "$packages"
open_game_view "$packages/SoldierSkins_Cats.utx"
eval "$(xdotool getwindowgeometry --shell "$view")"
# "Use the game's INT" sits in the bottom right corner, above "Check Game Folder...".
xdotool mousemove --window "$view" $((WIDTH - 60)) $((HEIGHT - 51)) click 1
sleep 1
import -window "$view" "$out/game-view.png"
kill "$app"

# The same package as a pictures folder: its textures as PNG pictures, the folder on the command
# line, one picture saved again while the game view follows it.
"$root/build/src/cli/quorrel-int" --pictures "$packages" "$packages/SoldierSkins_Cats.utx" >/dev/null
open_game_view "$packages/SoldierSkins_Cats"
cp "$packages/SoldierSkins_Cats/Tigr4Malcolm.png" "$packages/SoldierSkins_Cats/Tigr1.png"
head -c 100 "$packages/SoldierSkins_Cats/Leop2.png" >"$packages/Leop2.half"
cp "$packages/Leop2.half" "$packages/SoldierSkins_Cats/Leop2.png"
sleep 2
import -window "$view" "$out/game-view-folder.png"
echo "Saved $out/start.png, $out/info-panel.png, $out/game-view.png and $out/game-view-folder.png"
