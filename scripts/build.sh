#!/usr/bin/env bash
# Configures and builds one of the project's builds under build/:
#   scripts/build.sh native    host compiler: portable core, dompack, unit tests
#   scripts/build.sh asan      the same with AddressSanitizer and UndefinedBehaviorSanitizer
#   scripts/build.sh tsan      the same with ThreadSanitizer
#   scripts/build.sh fuzz      clang with libFuzzer and AddressSanitizer: the fuzzers
#   scripts/build.sh win32     mingw-w64: Setup.exe (stamped by the native build's dompack),
#                              the sample game, the Win32 unit tests and the end-to-end driver;
#                              and build/publisher/: dompack, the stub SetupBare.exe, a README
#   scripts/build.sh win64     the same for 64-bit Windows, to run the tests where only a 64-bit
#                              wine runs (a kernel that refuses 32-bit programs); never shipped
# A build may be followed by the targets to build (say "win32 Setup"); then only those are built,
# and for win32 only the native dompack beside them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="${DOMINARCH_JOBS:-$(nproc)}"
build="${1:-}"
[ "$#" -gt 0 ] && shift
targets=("$@")

# configure_and_build DIR [cmake options...] [-- targets...]
configure_and_build() {
    local dir="$root/build/$1" options=() only=()
    shift
    while [ "$#" -gt 0 ] && [ "$1" != "--" ]; do
        options+=("$1")
        shift
    done
    [ "$#" -gt 0 ] && shift
    only=("$@")
    cmake -S "$root" -B "$dir" -G Ninja ${options[@]+"${options[@]}"} >/dev/null
    if [ "${#only[@]}" -gt 0 ]; then
        cmake --build "$dir" -j "$jobs" --target "${only[@]}"
    else
        cmake --build "$dir" -j "$jobs"
    fi
}

case "$build" in
    native) configure_and_build native -- ${targets[@]+"${targets[@]}"} ;;
    asan) configure_and_build asan -DDOMINARCH_SANITIZER=address -- ${targets[@]+"${targets[@]}"} ;;
    tsan) configure_and_build tsan -DDOMINARCH_SANITIZER=thread -- ${targets[@]+"${targets[@]}"} ;;
    fuzz)
        CC=clang CXX=clang++ configure_and_build fuzz -DDOMINARCH_SANITIZER=address \
            -DDOMINARCH_FUZZERS=ON -- ${targets[@]+"${targets[@]}"} ;;
    win32 | win64)
        if [ "${#targets[@]}" -gt 0 ]; then
            configure_and_build native -- dompack
        else
            configure_and_build native
        fi
        toolchain="$root/cmake/mingw-i686.cmake"
        [ "$build" = win64 ] && toolchain="$root/cmake/mingw-x86_64.cmake"
        configure_and_build "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
            -DDOMINARCH_DOMPACK="$root/build/native/tools/dompack/dompack" \
            -- ${targets[@]+"${targets[@]}"}
        # The publisher's folder: dompack with the 32-bit stub beside it, and how to use them.
        if [ "$build" = win32 ] && [ -f "$root/build/win32/app/SetupBare.exe" ]; then
            mkdir -p "$root/build/publisher"
            cp "$root/build/native/tools/dompack/dompack" "$root/build/win32/app/SetupBare.exe" \
                "$root/build/publisher/"
            cp "$root/docs/PUBLISHERS.md" "$root/build/publisher/README.md"
        fi ;;
    *)
        sed -n '2,12p' "$0" >&2
        exit 2 ;;
esac
