#!/usr/bin/env bash
# ctest's runner for the Windows tests: runs one under Wine. A QTest program writes nothing to a
# standard output that Wine captures, so it logs to a file, which this prints.
set -u
exe=$1
shift
if ! x86_64-w64-mingw32-objdump -p "$exe" | grep -q 'DLL Name: Qt6Test.dll'; then
    exec wine "$exe" "$@"
fi
log="$(basename "$exe" .exe).log"
rm -f "$log"
wine "$exe" -o "$log,txt" "$@"
status=$?
[ -f "$log" ] && cat "$log"
exit $status
