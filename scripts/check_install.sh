#!/usr/bin/env bash
# Install check: validates the desktop entry and the metainfo, builds the Debian package, unpacks
# it into a temporary root and runs what it installed.
#   scripts/check_install.sh BUILD-FOLDER
set -euo pipefail
source=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:?usage: $0 BUILD-FOLDER}" && pwd)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
app_id=org.example.QuorrelFileGenerator

desktop-file-validate "$source/data/$app_id.desktop"
appstreamcli validate --no-net "$source/data/$app_id.metainfo.xml" >/dev/null

cd "$build"
cpack -G DEB -B "$root/out" >/dev/null
deb=$(ls "$root"/out/quorrel-file-generator_*.deb)

control=$(dpkg-deb -f "$deb")
for dependency in libqt6widgets6 libqt6core6 libc6; do
    grep -q "^Depends:.*$dependency" <<<"$control" || { echo "no dependency on $dependency"; exit 1; }
done

dpkg-deb -x "$deb" "$root/fs"
for file in usr/bin/quorrel-file-generator usr/bin/quorrel-int \
    usr/share/applications/org.example.QuorrelFileGenerator.desktop \
    usr/share/metainfo/org.example.QuorrelFileGenerator.metainfo.xml \
    usr/share/icons/hicolor/48x48/apps/org.example.QuorrelFileGenerator.png; do
    [ -e "$root/fs/$file" ] || { echo "missing $file"; exit 1; }
done

version=$("$root/fs/usr/bin/quorrel-int" --version)
[ "$version" = "quorrel-int 1.0.0" ] || { echo "unexpected version: $version"; exit 1; }

# The installed window starts and keeps running until it is told to go.
QT_QPA_PLATFORM=offscreen "$root/fs/usr/bin/quorrel-file-generator" &
window=$!
sleep 2
kill -0 "$window" || { echo "the installed window did not stay up"; exit 1; }
kill "$window"
wait "$window" 2>/dev/null || true
echo "package ok: $(basename "$deb")"
