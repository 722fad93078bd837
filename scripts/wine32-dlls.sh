#!/usr/bin/env bash
# Wine's own 32-bit Windows DLLs, for running i686 Windows programs under wine64.
#
# Debian's wine64 runs 32-bit Windows code once it finds the i386 Windows DLLs of the very same
# Wine version. Two ways give them, tried in this order:
#
# 1. Debian's wine32:i386 (the 32-bit loader, which brings libwine:i386 and its DLLs in
#    /usr/lib/i386-linux-gnu/wine). Wine 8.0's WoW64 mode has no display driver for 32-bit
#    code, so only this way lets the 32-bit editor open a window (the editor tests under Xvfb);
#    32-bit programs then run in the 32-bit loader.
# 2. If that package cannot be installed: libwine:i386 only downloaded, and its DLL folder
#    extracted into a per-user cache outside the repository, for wine64's WoW64 mode (console
#    programs only: the renders run, the 32-bit editor tests skip):
#
#   ${XDG_CACHE_HOME:-~/.cache}/orlantix/wine32/<wine64 version>/
#       libwine_<version>_i386.deb    the download, kept so the folder can be made again
#       wine/i386-windows/            the DLLs; WINEDLLPATH points at wine/
#
# The cache is per machine rather than per clone: the download is large, every clone and
# worktree shares it, and `make clean` or `git clean` leave it alone. A new wine64 version
# gets a folder of its own.
#
#   scripts/wine32-dlls.sh          prints the folder for WINEDLLPATH, or exits 1 saying why
#   scripts/wine32-dlls.sh --fetch  installs or fetches first when missing (idempotent)
set -euo pipefail

fetch=no
case "${1:-}" in
"") ;;
--fetch) fetch=yes ;;
*)
    echo "usage: $0 [--fetch]" >&2
    exit 2
    ;;
esac

version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null || true)
if [ -z "$version" ]; then
    echo "wine32-dlls: wine64 is not installed" >&2
    exit 1
fi
cache="${XDG_CACHE_HOME:-$HOME/.cache}/orlantix/wine32/$version"
dlls="$cache/wine"
complete="$cache/.complete"
system_dlls=/usr/lib/i386-linux-gnu/wine

wine32_installed() {
    [ "$(dpkg-query -W -f='${Status} ${Version}' wine32:i386 2>/dev/null)" = \
        "install ok installed $version" ] && [ -f "$system_dlls/i386-windows/kernel32.dll" ]
}

if ! wine32_installed && [ ! -f "$complete" ] && [ "$fetch" = yes ]; then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    export DEBIAN_FRONTEND=noninteractive
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        echo "wine32-dlls: adding the i386 architecture to apt" >&2
        $sudo dpkg --add-architecture i386
        $sudo apt-get update -qq
    elif ! apt-cache show "libwine:i386=$version" >/dev/null 2>&1; then
        $sudo apt-get update -qq
    fi
    echo "wine32-dlls: installing wine32:i386 $version" >&2
    if $sudo apt-get install -y -qq --no-install-recommends "wine32:i386=$version" >&2; then
        wine32_installed && echo "$system_dlls" && exit 0
    fi
    echo "wine32-dlls: wine32:i386 could not be installed; fetching its DLLs only" >&2
fi

if wine32_installed; then
    echo "$system_dlls"
    exit 0
fi

if [ ! -f "$complete" ] && [ "$fetch" = yes ]; then
    if ! apt-cache show "libwine:i386=$version" >/dev/null 2>&1; then
        echo "wine32-dlls: libwine:i386 $version is not in apt's lists; the installed wine64" \
            "must be of a version the archive still has (upgrade wine64 and run this again)" >&2
        exit 1
    fi
    mkdir -p "$cache"
    deb="$cache/libwine_${version#*:}_i386.deb"
    if [ ! -f "$deb" ]; then
        echo "wine32-dlls: downloading libwine:i386 $version into $cache" >&2
        # A folder apt's unprivileged download user can write to, wherever the cache is.
        download=$(mktemp -d)
        trap 'rm -rf "$download"' EXIT
        chmod 777 "$download"
        (cd "$download" && apt-get download -qq "libwine:i386=$version")
        mv "$download"/libwine_*_i386.deb "$deb.part"
        mv "$deb.part" "$deb"
    fi
    # Extracted beside the final folder and moved in place at the end, so a broken run
    # leaves nothing that looks complete.
    rm -rf "$cache/extract" "$dlls"
    mkdir -p "$cache/extract"
    dpkg-deb --fsys-tarfile "$deb" |
        tar -x -C "$cache/extract" ./usr/lib/i386-linux-gnu/wine/i386-windows
    if [ ! -f "$cache/extract/usr/lib/i386-linux-gnu/wine/i386-windows/kernel32.dll" ]; then
        echo "wine32-dlls: $deb holds no i386-windows/kernel32.dll" >&2
        exit 1
    fi
    mv "$cache/extract/usr/lib/i386-linux-gnu/wine" "$dlls"
    rm -rf "$cache/extract"
    touch "$complete"
    echo "wine32-dlls: $(du -sh "$dlls" | cut -f1) of 32-bit Wine DLLs in $dlls" >&2
fi

if [ ! -f "$complete" ]; then
    echo "wine32-dlls: no 32-bit Wine DLLs for wine64 $version in $cache" \
        "(scripts/install-deps.sh fetches them)" >&2
    exit 1
fi
echo "$dlls"
