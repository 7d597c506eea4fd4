#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian 12 machine: the native toolchain and
# GoogleTest, clang for the fuzzers, the mingw-w64 cross compilers (32- and 64-bit) with zlib,
# wine with its 32-bit part (i386 architecture) and its 64-bit loader (for kernels that refuse
# 32-bit programs), Xvfb and python3. Safe to run again: it does nothing when all is there.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev clang-format
    libgtest-dev googletest zlib1g-dev
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix libz-mingw-w64-dev
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    wine wine32:i386 wine64 xvfb xauth x11-utils python3 liblnk-utils
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "install-deps: need root or sudo for: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
fi
echo "install-deps: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
