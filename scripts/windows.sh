#!/usr/bin/env bash
# The Windows build, run by `dev.sh windows` after the Linux build: cross-builds both programs and
# the tests with MinGW-w64, writes the zip, runs the tests under Wine and checks that quorrel-int.exe
# writes the same bytes as the Linux quorrel-int.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-windows"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/quorrel"
qt=$("$root/scripts/windows-qt.sh" | tail -n 1)

echo "== Windows build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-test.sh" >/dev/null
cmake --build "$build" --parallel "$(nproc)"

# The zip: both programs, the DLLs they load (found by following the imports), the plugins Qt
# loads from beside them, and the licences of all of them.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name="quorrel-file-generator-$version-win64"
stage="$build/zip/$name"
gcc_dlls=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
dll_dirs=("$qt/bin" "$gcc_dlls" /usr/x86_64-w64-mingw32/lib)
rm -rf "$build/zip"
mkdir -p "$stage/platforms" "$stage/styles"
cp "$build/src/window/quorrel-file-generator.exe" "$build/src/cli/quorrel-int.exe" "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'; }
queue=("$stage"/*.exe "$stage"/*/*.dll)
system_dlls=() # the ones Windows brings
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    for dll in $(imports "$file"); do
        [ -e "$stage/$dll" ] && continue
        for dir in "${dll_dirs[@]}" system; do
            if [ "$dir" = system ]; then
                system_dlls+=("$dll")
            elif [ -e "$dir/$dll" ]; then
                cp "$dir/$dll" "$stage/"
                queue+=("$stage/$dll")
                break
            fi
        done
    done
done
x86_64-w64-mingw32-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll
"$root/scripts/windows-licenses.sh" "$stage"
zip="$build/$name.zip"
rm -f "$zip"
(cd "$build/zip" && zip -q -r -X "$zip" "$name")
echo "Wrote $zip ($(du -k "$zip" | cut -f1) KiB)"

# The setup program installs the same files, each by name, so that its uninstaller removes just
# those.
setup="$build/quorrel-file-generator-$version-setup.exe"
nsis="$build/nsis"
rm -rf "$nsis"
mkdir "$nsis"
# shellcheck disable=SC2016 # $INSTDIR is the installer's
(
    cd "$stage"
    find . -type f | LC_ALL=C sort | while IFS= read -r file; do
        file=${file#./}
        folder=$(dirname "$file")
        [ "$folder" = . ] && folder= || folder="\\${folder//\//\\}"
        printf 'SetOutPath "$INSTDIR%s"\nFile "%s"\n' "$folder" "$stage/$file"
        printf 'Delete "$INSTDIR\\%s"\n' "${file//\//\\}" >&3
    done >"$nsis/install.nsh" 3>"$nsis/uninstall.nsh"
    find . -mindepth 1 -type d | LC_ALL=C sort -r | while IFS= read -r folder; do
        folder=${folder#./}
        printf 'RMDir "$INSTDIR\\%s"\n' "${folder//\//\\}"
    done >>"$nsis/uninstall.nsh"
)
makensis -V2 -DVERSION="$version" -DICON="$build/src/quorrel.ico" -DOUTFILE="$setup" \
    -DFILES="$nsis/install.nsh" -DUNFILES="$nsis/uninstall.nsh" "$root/data/windows/installer.nsi"
echo "Wrote $setup ($(du -k "$setup" | cut -f1) KiB)"

# Under Wine, headless, in a prefix of its own. Qt's DLLs come from the cache, the runtime's from
# the compiler; Wine hides QT_* variables from Windows programs, so the platform is WINEQT_*. Wine's
# menu builder stays off: it would put the prefix's menus and file types into the Linux desktop.
export WINEPREFIX="$cache/wine" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEQT_QPA_PLATFORM=offscreen
trap 'wineserver -k 2>/dev/null || true' EXIT
winpath() { printf 'Z:%s' "${1//\//\\}"; }
export WINEPATH="$(winpath "$qt/bin");$(winpath "$gcc_dlls");$(winpath /usr/x86_64-w64-mingw32/lib)"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1
    # Debian's Wine looks for its own fonts (Tahoma among them) in the wrong folder.
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi
for dll in $(printf '%s\n' "${system_dlls[@]}" | sort -fu); do
    case "$dll" in api-ms-win-* | ext-ms-win-*) continue ;; esac # API sets: no files
    if [ -z "$(find "$WINEPREFIX/drive_c/windows/system32" -maxdepth 1 -iname "$dll")" ]; then
        echo "The zip lacks $dll, which is no Windows DLL." >&2
        exit 1
    fi
done

echo "== Windows tests under Wine"
(cd "$build" && ctest --output-on-failure --timeout 300)

check=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$check"' EXIT
echo "== The setup program, installed and removed under Wine"
shared=()
for package in "$root"/../shared/testdata/*.utx; do
    [ -e "$package" ] && shared+=("$package")
done
"$root/build/bench/make_packages" "$check"
"$root/scripts/windows-install-test.sh" "$setup" "$stage" "$check/SoldierSkins_Tigr.utx" \
    "$check/Many_Names.utx" "${shared[@]}"

# From the unpacked zip alone, with no other Qt or runtime on the path.
echo "== quorrel-int.exe against the Linux quorrel-int"
(cd "$check" && unzip -q "$zip")
exe="$check/$name/quorrel-int.exe"
packages=("$root"/../shared/testdata/*.utx)
if [ ! -e "${packages[0]}" ]; then
    echo "skipped: no packages in ../shared/testdata"
    exit 0
fi
mkdir "$check/linux" "$check/windows"
"$root/build/src/cli/quorrel-int" --output "$check/linux" "${packages[@]}"
WINEPATH= wine "$exe" --output "$(winpath "$check/windows")" "${packages[@]}"
diff -r "$check/linux" "$check/windows"
"$root/build/src/cli/quorrel-int" --output - "${packages[@]}" >"$check/linux.out"
WINEPATH= wine "$exe" --output - "${packages[@]}" >"$check/windows.out"
cmp "$check/linux.out" "$check/windows.out"
for package in "${packages[@]}"; do
    base=$(basename "$package" .utx)
    cat "$check/windows/$base.int"
done | cmp - "$check/windows.out"
echo "same bytes for ${#packages[@]} packages, as files and on standard output"
