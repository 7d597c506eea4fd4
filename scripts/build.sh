#!/usr/bin/env bash
# Configures and builds one of the project's builds under build/:
#   scripts/build.sh native    host compiler: portable core, dompack, unit tests
#   scripts/build.sh asan      the same with AddressSanitizer and UndefinedBehaviorSanitizer
#   scripts/build.sh tsan      the same with ThreadSanitizer
#   scripts/build.sh fuzz      clang with libFuzzer and AddressSanitizer: the fuzzers
#   scripts/build.sh win32     mingw-w64: Setup.exe (packed with the native build's dompack),
#                              the sample game, the Win32 unit tests and the end-to-end driver
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="${DOMINARCH_JOBS:-$(nproc)}"

configure_and_build() {
    local dir="$root/build/$1"
    shift
    cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

case "${1:-}" in
    native) configure_and_build native ;;
    asan) configure_and_build asan -DDOMINARCH_SANITIZER=address ;;
    tsan) configure_and_build tsan -DDOMINARCH_SANITIZER=thread ;;
    fuzz)
        CC=clang CXX=clang++ configure_and_build fuzz -DDOMINARCH_SANITIZER=address \
            -DDOMINARCH_FUZZERS=ON ;;
    win32)
        configure_and_build native
        configure_and_build win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
            -DDOMINARCH_DOMPACK="$root/build/native/tools/dompack/dompack" ;;
    *)
        sed -n '2,9p' "$0" >&2
        exit 2 ;;
esac
