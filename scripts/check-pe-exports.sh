#!/usr/bin/env bash
# Static checks of a Windows VST 2 plug-in DLL built by the mingw presets:
#   - the image is PE32 i386 (--pe32) or PE32+ x86-64 (--pe32+);
#   - it exports exactly VSTPluginMain and main, undecorated;
#   - it imports only Windows system DLLs (no libstdc++, libgcc or libwinpthread beside it).
# Usage: check-pe-exports.sh --pe32|--pe32+ FILE.dll
# Exits 0 when all checks pass, 1 when one fails, 77 (skip) when FILE does not exist.
set -euo pipefail

usage() { echo "usage: $0 --pe32|--pe32+ FILE.dll" >&2; exit 2; }
[ $# -eq 2 ] || usage
case "$1" in
    --pe32) objdump=i686-w64-mingw32-objdump; want_format=pei-i386; want_magic=010b ;;
    --pe32+) objdump=x86_64-w64-mingw32-objdump; want_format=pei-x86-64; want_magic=020b ;;
    *) usage ;;
esac
file=$2

if [ ! -f "$file" ]; then
    echo "SKIP: $file does not exist (build the matching Windows preset first)"
    exit 77
fi
command -v "$objdump" >/dev/null || { echo "FAIL: $objdump not found"; exit 1; }

dump=$("$objdump" -p "$file")
fail=0

format=$(sed -n 's/.*file format \(.*\)$/\1/p' <<<"$dump" | sed -n 1p)
magic=$(awk '$1 == "Magic" { print $2; exit }' <<<"$dump")
if [ "$format" != "$want_format" ] || [ "$magic" != "$want_magic" ]; then
    echo "FAIL: $file is '$format' (magic $magic), expected $want_format (magic $want_magic)"
    fail=1
fi

# The name table lists one "[ n] name" line per export.
exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
              on && /^[[:space:]]*\[/ { sub(/^[[:space:]]*\[[^]]*\][[:space:]]*/, ""); print; next }
              on { exit }' <<<"$dump" | sort | tr '\n' ' ')
if [ "$exports" != "VSTPluginMain main " ]; then
    echo "FAIL: $file exports '${exports% }', expected exactly 'VSTPluginMain main'"
    fail=1
fi

# Windows system libraries only: the plug-in must load on a plain Windows.
allowed='^(kernel32|user32|gdi32|comdlg32|comctl32|shell32|shlwapi|advapi32|ole32|oleaut32|wininet|winmm|msimg32|version|ws2_32|msvcrt|ucrtbase|api-ms-win-.*)\.dll$'
while read -r dll; do
    [ -n "$dll" ] || continue
    lower=$(printf '%s' "$dll" | tr '[:upper:]' '[:lower:]')
    if ! [[ $lower =~ $allowed ]]; then
        echo "FAIL: $file imports $dll, which is not a Windows system library"
        fail=1
    fi
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")

if [ $fail -eq 0 ]; then
    echo "OK: $file ($format) exports VSTPluginMain and main, imports system libraries only"
fi
exit $fail
