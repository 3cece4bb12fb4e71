#!/usr/bin/env bash
# The setup program under Wine, in a fresh prefix and on a virtual X display: installs silently,
# checks the files, the Start menu shortcut and each registry value it made, runs the installed
# quorrel-int.exe against the Linux one and the installed window on a package, then uninstalls
# silently and checks that all of it is gone, and only that.
#   scripts/windows-install-test.sh SETUP.EXE BUNDLE-FOLDER PACKAGE.utx...
# The bundle is the folder the zip holds; the first package is a good skin package.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${QUORREL_XVFB:-}" ]; then
    QUORREL_XVFB=1 exec xvfb-run -a "$0" "$@"
fi
setup=$(realpath "$1")
bundle=$(realpath "$2")
shift 2
packages=("$@")
version=$(basename "$bundle" | sed 's/^quorrel-file-generator-\(.*\)-win64$/\1/')

work=$(mktemp -d)
# Wine's menu builder would copy shortcuts and file types into the Linux desktop's menus.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WINEPATH WINEQT_QPA_PLATFORM
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
fail() {
    echo "install check: $*" >&2
    exit 1
}
winpath() { printf 'Z:%s' "${1//\//\\}"; }
wineboot --init >/dev/null 2>&1
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
localappdata=$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')
appdata=$(wine cmd /c echo %APPDATA% | tr -d '\r')
folder="$localappdata\\Programs\\Quorrel File Generator"
installed=$(winepath -u "$folder" 2>/dev/null)
shortcut=$(winepath -u "$appdata\\Microsoft\\Windows\\Start Menu\\Programs" 2>/dev/null)/"Quorrel File Generator.lnk"
classes='HKCU\Software\Classes'
uninstall='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\QuorrelFileGenerator'

# The values of a key, one "name|type|data" line each, sorted.
values() {
    wine reg query "$1" 2>/dev/null | tr -d '\r' |
        sed -n 's/^    \(.*\)    \(REG_[A-Z_]*\)    \(.*\)$/\1|\2|\3/p; s/^    \(.*\)    \(REG_[A-Z_]*\)$/\1|\2|/p' |
        sort
}
expect_values() {
    local key=$1
    shift
    diff <(printf '%s\n' "$@" | sort) <(values "$key") || fail "$key holds other values"
}

# Before: the game's editor owns .utx, and another program is offered for it.
wine reg add "$classes\\.utx" /ve /d UnrealEd.utx /f >/dev/null
wine reg add "$classes\\.utx\\OpenWithProgids" /v Other.utx /d "" /f >/dev/null

echo "-- silent install"
wine "$setup" /S
[ -d "$installed" ] || fail "nothing installed in $folder"
diff -r -x uninstall.exe "$bundle" "$installed" || fail "the installed files differ from the zip's"
[ -f "$installed/uninstall.exe" ] || fail "no uninstaller"
[ -f "$shortcut" ] || fail "no Start menu shortcut"
strings "$shortcut" | grep -qiF "$folder\\quorrel-file-generator.exe" ||
    fail "the shortcut does not start the window"

exe="$folder\\quorrel-file-generator.exe"
expect_values "$classes\\.utx" "(Default)|REG_SZ|UnrealEd.utx"
expect_values "$classes\\.utx\\OpenWithProgids" "Other.utx|REG_SZ|" "QuorrelFileGenerator.utx|REG_NONE|"
expect_values "$classes\\QuorrelFileGenerator.utx" "(Default)|REG_SZ|Unreal Tournament texture package"
expect_values "$classes\\QuorrelFileGenerator.utx\\DefaultIcon" "(Default)|REG_SZ|$exe,0"
expect_values "$classes\\QuorrelFileGenerator.utx\\shell\\open\\command" "(Default)|REG_SZ|\"$exe\" \"%1\""
size=$(values "$uninstall" | sed -n 's/^EstimatedSize|REG_DWORD|//p')
expect_values "$uninstall" "DisplayName|REG_SZ|Quorrel File Generator" \
    "DisplayVersion|REG_SZ|$version" "Publisher|REG_SZ|Quorrel" "DisplayIcon|REG_SZ|$exe,0" \
    "InstallLocation|REG_SZ|$folder" "UninstallString|REG_SZ|\"$folder\\uninstall.exe\"" \
    "QuietUninstallString|REG_SZ|\"$folder\\uninstall.exe\" /S" "NoModify|REG_DWORD|0x1" \
    "NoRepair|REG_DWORD|0x1" "EstimatedSize|REG_DWORD|$size"
kib=$(du -sk --apparent-size "$installed" | cut -f1)
[ $((size)) -gt $((kib * 9 / 10)) ] && [ $((size)) -le $((kib + 16)) ] ||
    fail "EstimatedSize $((size)) KiB for $kib KiB installed"
echo "files, shortcut and registry values as made"

echo "-- the installed quorrel-int.exe against the Linux quorrel-int"
mkdir "$work/linux" "$work/windows"
"$root/build/src/cli/quorrel-int" --output "$work/linux" "${packages[@]}"
wine "$installed/quorrel-int.exe" --output "$(winpath "$work/windows")" "${packages[@]}"
diff -r "$work/linux" "$work/windows" || fail "the installed quorrel-int.exe writes other bytes"
echo "same bytes for ${#packages[@]} packages"

echo "-- the installed window, given a package"
# Waits for a window of that title; fails after `seconds`.
window() {
    for _ in $(seq "$2"); do
        xdotool search --name "^$1\$" >/dev/null 2>&1 && return 0
        sleep 1
    done
    return 1
}
# As "Open with" starts it: the path, spaces and all, as one argument.
mkdir "$work/My Skins"
cp "${packages[0]}" "$work/My Skins/"
good="$work/My Skins/$(basename "${packages[0]}")"
for path in "$work/My Skins/Missing.utx" "$good"; do
    wine "$installed/quorrel-file-generator.exe" "$(winpath "$path")" &
    pid=$!
    window "Quorrel File Generator" 60 || fail "the installed window did not show"
    if [ "$path" = "$good" ]; then
        ! window "File Error" 5 || fail "the window could not open $good"
        kill -0 "$pid" || fail "the window went away"
    else
        window "File Error" 30 || fail "the window did not try to open the package it was given"
    fi
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    wineserver -k
done
echo "opened the package it was given"

echo "-- silent uninstall"
echo "the user's own" >"$installed/Mine.int"
wine "$installed/uninstall.exe" /S
timeout 120 wineserver -w # the uninstaller runs from a copy of itself
left=$(ls -A "$installed" 2>/dev/null | tr '\n' ' ')
[ "$left" = "Mine.int " ] || fail "the folder holds '$left' after uninstalling, not just the user's Mine.int"
rm -r "$installed"
[ ! -e "$shortcut" ] || fail "the uninstaller left the shortcut"
expect_values "$classes\\.utx" "(Default)|REG_SZ|UnrealEd.utx"
expect_values "$classes\\.utx\\OpenWithProgids" "Other.utx|REG_SZ|"
for key in "$classes\\QuorrelFileGenerator.utx" "$uninstall"; do
    ! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left $key"
done
left=$(grep -il quorrel "$WINEPREFIX"/*.reg; find "$WINEPREFIX/drive_c" -iname '*quorrel*')
[ -z "$left" ] || fail "the uninstaller left: $left"
echo "uninstalled: the files, shortcut and registry values it made are gone; the rest stays"
