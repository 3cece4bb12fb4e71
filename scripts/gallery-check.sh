#!/usr/bin/env bash
# Renders quorrel-int --gallery's page in Debian's headless Chromium: fails unless every picture
# on it loaded, and saves it at a wide screen's and at a phone's width for a reviewer to look at.
# The game folder: a built one of six skins and their model, one skin without its .int, and the
# bonus pack's Nali cow with the .int --complete writes when ../shared/testdata holds it.
#   ./scripts/gallery-check.sh [build-folder] [output-folder]     (default: build/, screenshots/)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=${2:-$root/screenshots}
quorrel_int=$build/src/cli/quorrel-int
make_packages=$build/bench/make_packages
[ -x "$quorrel_int" ] && [ -x "$make_packages" ] ||
    { echo "Build first, with the benchmarks: ./scripts/dev.sh test"; exit 1; }
if ! command -v chromium >/dev/null; then
    if [ "$(id -u)" -eq 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends chromium
    else
        echo "Install first: sudo apt-get install -y chromium"; exit 1
    fi
fi
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

game=$work/UnrealTournament
"$make_packages" --game "$game" 6
rm "$game/System/XenoSkins_x005.int"
testdata=$root/../shared/testdata
if [ -f "$testdata/EpicCustomModels.u" ] && [ -f "$testdata/tcowmeshskins.utx" ]; then
    cp "$testdata/EpicCustomModels.u" "$game/System/"
    cp "$testdata/tcowmeshskins.utx" "$game/Textures/"
    "$quorrel_int" --complete --output "$game/System" "$game/Textures/tcowmeshskins.utx"
else
    echo "note: no bonus pack in $testdata: the page shows the built model only"
fi
page=$work/game.html
status=0
"$quorrel_int" --gallery "$page" "$game" || status=$?
[ "$status" -eq 1 ] || { echo "quorrel-int --gallery: exit $status, not 1 for the missing .int"; exit 1; }

chrome() {
    local profile
    profile=$(mktemp -d -p "$work")
    timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$profile" --hide-scrollbars "$@" 2>/dev/null
}

# The page has no scripts of its own: a copy tells, once loaded, how many pictures it has and
# how many of them show nothing.
checked=$work/checked.html
cp "$page" "$checked"
cat >>"$checked" <<'EOF'
<script>
addEventListener('load', () => {
    const broken = [...document.images].filter(i => !i.complete || i.naturalWidth === 0);
    document.body.dataset.pictures = document.images.length;
    document.body.dataset.broken = broken.map(i => i.alt).join('|') || 'none';
});
</script>
EOF
dom=$(chrome --virtual-time-budget=10000 --dump-dom "file://$checked")
pictures=$(grep -o 'data-pictures="[0-9]*"' <<<"$dom" | grep -o '[0-9]*' || true)
broken=$(grep -o 'data-broken="[^"]*"' <<<"$dom" | sed 's/^data-broken="//; s/"$//' || true)
expected=$(grep -o '<img ' "$page" | wc -l)
echo "gallery: $expected pictures on the page, $pictures seen by Chromium, broken: $broken"
[ "$pictures" = "$expected" ] && [ "$expected" -gt 0 ] && [ "$broken" = none ] ||
    { echo "gallery: not every picture loaded"; exit 1; }

chrome --window-size=1280,1400 --screenshot="$out/gallery-wide.png" "file://$page" >/dev/null
chrome --window-size=390,1400 --screenshot="$out/gallery-phone.png" "file://$page" >/dev/null
echo "gallery: screenshots in $out/gallery-wide.png and $out/gallery-phone.png"
