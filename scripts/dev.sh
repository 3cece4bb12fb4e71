#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds, and then starts the tool (run) or runs every test (test).
# windows: also cross-builds the Windows programs, their zip and setup program, and tests them
# under Wine.
set -euo pipefail

usage() { echo "usage: $0 run|test|windows" >&2; exit 2; }
[ $# -eq 1 ] || usage
mode=$1
case "$mode" in run|test|windows) ;; *) usage ;; esac

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

packages=(build-essential cmake file qt6-base-dev qt6-base-private-dev libgl-dev fonts-dejavu-core libbenchmark-dev
    desktop-file-utils appstream shared-mime-info libglib2.0-bin man-db xvfb xauth xdotool hyperfine)
if [ "$mode" = windows ]; then
    packages+=(g++-mingw-w64-x86-64-posix qt6-base-dev-tools ninja-build dpkg-dev xz-utils wine wine64
        fonts-wine icoutils zip unzip nsis)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -eq 0 ]; then
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
    else
        echo "Missing packages. Install them with:"
        echo "  sudo apt-get install -y ${missing[*]}"
        exit 1
    fi
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORREL_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)"

if [ "$mode" = windows ]; then
    exec "$root/scripts/windows.sh"
fi
if [ "$mode" = test ]; then
    cd "$build"
    [ -d "$root/../shared/testdata" ] ||
        echo "note: no ../shared/testdata beside the project: the tests skip the real game packages and use the ones they build"
    exec ctest --output-on-failure --timeout 300
fi
exec "$build/src/window/quorrel-file-generator"
