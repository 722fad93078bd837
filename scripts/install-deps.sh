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
    # end-to-end runs: the Windows build under wine, an independent MIDI file reader and a
    # third-party VST 2 synthesiser to host
    wine64 python3-mido zynaddsubfx-vst
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all ${#packages[@]} packages present"
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
