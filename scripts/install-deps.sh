#!/usr/bin/env bash
# Installs every Debian package the build and the tests need. Idempotent: packages already
# present are skipped, and apt is not touched at all when nothing is missing.
set -euo pipefail

packages=(
    # native build and tests
    make cmake ninja-build g++ gcc git python3 pkg-config
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    # sanitizers, fuzzing and formatting
    clang libclang-rt-14-dev clang-format
    # Windows cross builds (i686: Orlantix32.dll, x86_64: Orlantix64.dll)
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    # images: libpng natively, zlib for the Windows builds, the artwork generator and its fonts
    libpng-dev libz-mingw-w64-dev dpkg-dev python3-cairo fonts-dejavu-core
    # the editor's text off Windows: FreeType and Liberation Sans (metric-compatible with Arial)
    libfreetype-dev fonts-liberation2
    # end-to-end runs: the Windows builds under wine, an independent MIDI file reader, a
    # third-party VST 2 synthesiser to host, and strace to see which files a plug-in reads
    wine64 python3-mido zynaddsubfx-vst strace
    # the Windows editor under wine draws into a virtual X server
    xvfb
    # the Linux library's editor: an X11 window layer (MIT-SHM through libXext); its tests
    # drive it through XTEST and count what the X server holds with the X-Resource extension
    libx11-dev libxext-dev libxtst-dev libxres-dev
    # a real DAW that hosts the plug-in in end-to-end tests: headless (ardour7-lua), and its
    # GUI with Orlantix's editor on Xvfb, driven through XTEST by xdotool
    ardour xdotool
    # the LV2 version: LV2's headers, lilv for our own LV2 host and lv2info, sord_validate, and
    # jalv under JACK's dummy driver
    lv2-dev liblilv-dev lilv-utils sordi jalv jackd2
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
# jackd2 asks whether to allow real-time priority: answered beforehand, so nothing waits.
if ! dpkg-query -W -f='${Status}' jackd2 2>/dev/null | grep -q "install ok installed"; then
    echo "jackd2 jackd/tweak_rt_limits boolean false" | $sudo debconf-set-selections
fi

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all ${#packages[@]} packages present"
else
    echo "install-deps: installing ${missing[*]}"
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The Windows builds link libpng statically, compiled from Debian's own source package; the
# source is kept in an ignored cache folder of the repository and fetched only once.
repo=$(cd "$(dirname "$0")/.." && pwd)
png_cache="$repo/third_party/cache"
png_src="$png_cache/libpng1.6"
if [ ! -f "$png_src/png.c" ]; then
    if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        # Source entries mirror the first binary entry of the main archive.
        src_list=/etc/apt/sources.list.d/orlantix-deb-src.sources
        if [ -f /etc/apt/sources.list.d/debian.sources ]; then
            awk 'NF == 0 { exit } /^Types:/ { print "Types: deb-src"; next } { print }' \
                /etc/apt/sources.list.d/debian.sources | $sudo tee "$src_list" >/dev/null
        else
            grep -m1 -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
                $sudo tee /etc/apt/sources.list.d/orlantix-deb-src.list >/dev/null
        fi
    fi
    echo "install-deps: fetching the libpng1.6 source package into $png_cache"
    $sudo apt-get update -qq
    rm -rf "$png_cache/libpng-fetch"
    mkdir -p "$png_cache/libpng-fetch"
    (cd "$png_cache/libpng-fetch" && apt-get source -qq libpng1.6 >/dev/null)
    fetched=$(find "$png_cache/libpng-fetch" -mindepth 2 -maxdepth 2 -name png.c -printf '%h\n' | head -n1)
    if [ -z "$fetched" ]; then
        echo "install-deps: apt-get source libpng1.6 gave no png.c" >&2
        exit 1
    fi
    rm -rf "$png_src"
    mv "$fetched" "$png_src"
    rm -rf "$png_cache/libpng-fetch"
fi

# 32-bit Windows programs run under wine64 with Wine's own i386 DLLs of the installed version:
# Debian's wine32:i386 (the 32-bit loader, which also gives the 32-bit editor a display), or,
# where that cannot be installed, the DLLs alone downloaded once (about 95 MB) into a per-user
# cache outside the repository. Without either the tests of the 32-bit Windows build are
# skipped, saying why, so a failure here does not stop.
if ! "$repo/scripts/wine32-dlls.sh" --fetch >/dev/null; then
    echo "install-deps: WARNING: no 32-bit Wine DLLs; the 32-bit Windows tests will be skipped" >&2
fi
