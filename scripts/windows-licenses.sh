#!/usr/bin/env bash
# Puts the licence texts into the Windows bundle's licenses folder, and fails when a program or
# DLL of the bundle has no licence text there.
#   scripts/windows-licenses.sh BUNDLE-FOLDER
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bundle=${1:?usage: $0 BUNDLE-FOLDER}
licenses="$bundle/licenses"

# Each text as the Debian package that ships the code installs it, and the project's own.
texts=(
    "quorrel-file-generator.txt=$root/LICENSE"
    "LGPL-3.0.txt=/usr/share/common-licenses/LGPL-3"
    "GPL-3.0.txt=/usr/share/common-licenses/GPL-3"
    "qt6-base-copyright.txt=/usr/share/doc/qt6-base-dev-tools/copyright"
    "gcc-runtime-copyright.txt=/usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright"
    "mingw-w64-copyright.txt=/usr/share/doc/mingw-w64-x86-64-dev/copyright"
)
# The texts that cover each program and DLL, by name. MinGW-w64's runtime is linked into each;
# its winpthreads is a DLL of its own.
qt="LGPL-3.0.txt GPL-3.0.txt qt6-base-copyright.txt qt6-base-source.txt"
covers=(
    "quorrel-*.exe=quorrel-file-generator.txt mingw-w64-copyright.txt"
    "Qt6*.dll qwindows.dll qwindowsvistastyle.dll=$qt mingw-w64-copyright.txt"
    "libgcc_s_seh-1.dll libstdc++-6.dll=gcc-runtime-copyright.txt GPL-3.0.txt mingw-w64-copyright.txt"
    "libwinpthread-1.dll=mingw-w64-copyright.txt"
)

rm -rf "$licenses"
mkdir "$licenses"
for text in "${texts[@]}"; do
    [ -s "${text#*=}" ] || { echo "No licence text ${text#*=} to copy: is its package installed?" >&2; exit 1; }
    cp "${text#*=}" "$licenses/${text%%=*}"
done
"$root/scripts/windows-qt.sh" --note >"$licenses/qt6-base-source.txt"

index="$licenses/README.txt"
echo "Each program and library of Quorrel File Generator, and the licence texts in this folder that cover it:" >"$index"
status=0
while IFS= read -r file; do
    name=$(basename "$file")
    needed=()
    for row in "${covers[@]}"; do
        read -ra patterns <<<"${row%%=*}"
        for pattern in "${patterns[@]}"; do
            # shellcheck disable=SC2053 # the pattern is a glob
            [[ $name == $pattern ]] && { read -ra needed <<<"${row#*=}"; break 2; }
        done
    done
    if [ ${#needed[@]} -eq 0 ]; then
        echo "The bundle's ${file#"$bundle"/} has no licence text: add it to $0." >&2
        status=1
        continue
    fi
    for text in "${needed[@]}"; do
        [ -s "$licenses/$text" ] || { echo "${file#"$bundle"/} lacks its licence text licenses/$text." >&2; status=1; }
    done
    echo "${file#"$bundle"/}: ${needed[*]}" >>"$index"
done < <(find "$bundle" -type f \( -iname '*.exe' -o -iname '*.dll' \) | sort)
exit $status
