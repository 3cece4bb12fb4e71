#!/usr/bin/env bash
# Builds a Windows Qt from Debian's own qt6-base source, once, into a cache outside the repo, and
# prints its prefix as the last line. The cache folder is named after a hash of the Qt version, the
# configure options, the compiler and the toolchain file, so a change to any of them builds anew.
#   --note: prints instead where the Qt source comes from and how it is built, for the licences.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
toolchain="$root/cmake/mingw-w64.cmake"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/quorrel"

# The host tools (moc, rcc, uic) must be the same Qt version as the Windows libraries.
version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
upstream=${version%%+*}

options=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_pkg_config=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF
    -DFEATURE_icu=OFF -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF
    -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF -DFEATURE_zstd=OFF
    -DFEATURE_jpeg=OFF
    # Debian's source leaves out the Windows tablet code.
    -DFEATURE_tabletevent=OFF
    # With Direct2D off, the windows plugin only links with DirectWrite 3 off too.
    -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF
    # Qt's own copies, so that the bundle needs no other library.
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
)
compiler=$(x86_64-w64-mingw32-g++-posix --version | head -n 1)
key=$(printf '%s\n' "$version" "${options[@]}" "$compiler" "$(cat "$toolchain")" | sha256sum | cut -c1-12)
prefix="$cache/qt-$upstream-win64-$key"

if [ "${1:-}" = --note ]; then
    cat <<EOF
The Qt DLLs beside the programs (Qt6*.dll, and those in the folders platforms and styles) are
Qt $upstream, built unchanged from Debian's source package qt6-base, version $version (Debian 12),
with Debian's MinGW-w64 compiler, g++-mingw-w64-x86-64-posix $(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix).

Qt is licensed under the GNU Lesser General Public License version 3 (LGPL-3.0.txt), which adds
its permissions to the GNU General Public License version 3 (GPL-3.0.txt). qt6-base-copyright.txt
is Debian's record of the authors and licences of every part of that source, among them the
third-party libraries that Qt builds into its DLLs.

You may replace these DLLs with your own build of Qt.

To build them yourself, on Debian 12 with qt6-base-dev-tools $version (for moc, rcc and uic):

    apt-get source qt6-base=$version
    cmake -S qt6-base-$upstream+dfsg -B build -G Ninja -DCMAKE_TOOLCHAIN_FILE=mingw-w64.cmake \\
        -DCMAKE_INSTALL_PREFIX=/where/to/install \\
$(printf '        %s \\\n' "${options[@]}" | sed '$ s/ \\$//')
    cmake --build build
    cmake --install build

where mingw-w64.cmake holds:

$(sed 's/^/    /' "$toolchain")

The project's scripts/windows-qt.sh does the same.
EOF
    exit 0
fi

if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

# apt-get source needs Debian's source lists: the same places as the binary ones.
if ! apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Package: qt6-base'; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "Enable Debian's source packages (deb-src lines) and run apt-get update, then again." >&2
        exit 1
    fi
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
            >/etc/apt/sources.list.d/quorrel-deb-src.sources
    fi
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >/etc/apt/sources.list.d/quorrel-deb-src.list
    fi
    apt-get update -qq
fi

work="$cache/work-$key"
rm -rf "$prefix" "$work"
mkdir -p "$work/tmp"
# apt-get source hands the download to the _apt user, which needs a folder it may write to.
chmod 1777 "$work/tmp"
log="$work/build.log"
echo "Building Qt $version for Windows once, into $prefix (about half an hour on 2 cores)." >&2
echo "Log: $log" >&2
start=$SECONDS
(
    cd "$work"
    TMPDIR="$work/tmp" apt-get source -qq "qt6-base=$version"
    # Qt's installed qt.toolchain.cmake names this file, so it stays beside the prefix.
    cp "$toolchain" "$prefix.toolchain.cmake"
    cmake -S "$work/qt6-base-$upstream+dfsg" -B "$work/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$prefix.toolchain.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
        "${options[@]}"
    nice -n 10 cmake --build "$work/build" --parallel "$(nproc)"
    cmake --install "$work/build"
) >"$log" 2>&1 || {
    tail -n 40 "$log" >&2
    echo "The Windows Qt build failed; the whole log is $log" >&2
    exit 1
}
touch "$prefix/.complete"
rm -rf "$work"
echo "Built the Windows Qt in $(((SECONDS - start) / 60)) minutes." >&2
echo "$prefix"
