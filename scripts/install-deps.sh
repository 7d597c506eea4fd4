#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian 12 machine: the native toolchain and
# GoogleTest, clang for the fuzzers, the mingw-w64 cross compilers (32- and 64-bit) with zlib,
# wine with its 32-bit part (i386 architecture) and its 64-bit loader (for kernels that refuse
# 32-bit programs), Xvfb and python3, and the independent readers and signer of program files
# the tests use (python3-pefile, osslsigncode, openssl). Safe to run again: it does nothing when
# all is there.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev clang-format
    libgtest-dev googletest zlib1g-dev
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix libz-mingw-w64-dev
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    wine wine32:i386 wine64 xvfb xauth x11-utils python3 liblnk-utils
    python3-pefile osslsigncode openssl
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
# A mirror in the middle of a sync can fail one index; retry, then go on with the lists there are:
# the install below still fails clearly if a package cannot be found.
for attempt in 1 2 3; do
    $sudo apt-get update -qq && break
    echo "install-deps: apt-get update failed (attempt $attempt)" >&2
    [ "$attempt" -lt 3 ] && sleep 15
done
install() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@"; }
install "${missing[@]}" && exit 0
# wine's 32-bit part needs every i386 library at the version of its amd64 twin, so one stale i386
# index breaks it alone. Install the rest, then try it by itself: without it the wine steps use
# the 64-bit build (scripts/wine/wine_env.sh chooses), as on kernels that refuse 32-bit programs.
rest=()
for p in "${missing[@]}"; do [ "$p" = wine32:i386 ] || rest+=("$p"); done
[ ${#rest[@]} -eq ${#missing[@]} ] && exit 1
[ ${#rest[@]} -eq 0 ] || install "${rest[@]}"
install wine32:i386 || echo "install-deps: wine32:i386 could not be installed; wine runs 64-bit" >&2
