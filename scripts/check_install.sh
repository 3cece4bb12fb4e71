#!/usr/bin/env bash
# Install check: validates the desktop entry and the metainfo, builds the Debian package, unpacks
# it into a temporary root, checks the file type and manual page it installs and runs the tools.
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
    usr/share/icons/hicolor/48x48/apps/org.example.QuorrelFileGenerator.png \
    usr/share/mime/packages/org.example.QuorrelFileGenerator.xml usr/share/man/man1/quorrel-int.1 \
    usr/share/doc/quorrel-file-generator/copyright; do
    [ -e "$root/fs/$file" ] || { echo "missing $file"; exit 1; }
done

# The desktop learns the texture package type from the installed tree, by name and by content;
# the file managers' "Open With" passes the package to the window.
usr=$root/fs/usr
mime=application/x-unreal-texture-package
desktop-file-validate "$usr/share/applications/$app_id.desktop"
grep -qx "MimeType=$mime;" "$usr/share/applications/$app_id.desktop" || { echo "no $mime"; exit 1; }
grep -qx "Exec=quorrel-file-generator %f" "$usr/share/applications/$app_id.desktop" ||
    { echo "the desktop entry does not pass the file"; exit 1; }
XDG_DATA_DIRS="$usr/share:/usr/share" update-mime-database "$usr/share/mime"
printf 'not a package' >"$root/Named_Skin.utx"
printf '\xc1\x83\x2a\x9e\x45\x00\x00\x00' >"$root/unnamed"
for file in Named_Skin.utx unnamed; do
    type=$(XDG_DATA_DIRS="$usr/share:/usr/share" gio info -a standard::content-type "$root/$file" |
        sed -n 's/.*standard::content-type: //p')
    [ "$type" = "$mime" ] || { echo "$file is seen as '$type', not $mime"; exit 1; }
done

# man quorrel-int: every option, the exit codes and an example.
page=$(MANPATH="$usr/share/man" MANWIDTH=80 man -P cat quorrel-int 2>&1)
for text in --output --mesh --description --list --complete --skin --check --pictures --render \
    --game --skin-group --face --team --yaw --size --help --version "EXIT STATUS" EXAMPLE; do
    grep -q -- "$text" <<<"$page" || { echo "the manual page lacks $text"; exit 1; }
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
