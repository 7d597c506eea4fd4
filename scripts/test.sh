#!/usr/bin/env bash
# Builds and runs every test: the native unit tests (plain, with AddressSanitizer and
# UndefinedBehaviorSanitizer, with ThreadSanitizer), a short run of each fuzzer, the same
# portable tests built with mingw under wine (Windows 98 and NT families), and the end-to-end
# suite that drives Setup.exe under wine on a virtual display. Installs what it needs first.
# Where the kernel refuses 32-bit programs (some virtual machines), wine runs only 64-bit
# programs: the wine steps then run a 64-bit build of the same sources (build/win64), and the
# 32-bit build is still built with every warning an error.
#   DOMINARCH_FUZZ_SECONDS   seconds per fuzzer (default 30)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
fuzz_seconds="${DOMINARCH_FUZZ_SECONDS:-30}"

step() { printf '\n=== %s\n' "$*"; }

step "Dependencies"
scripts/install-deps.sh

step "Format"
scripts/check-format.sh

step "Layers: no include from a lower layer to a higher one"
scripts/check-layers.sh

step "Native unit tests"
scripts/build.sh native
ctest --test-dir build/native --output-on-failure -j 2

step "Native unit tests with AddressSanitizer and UndefinedBehaviorSanitizer"
scripts/build.sh asan
ctest --test-dir build/asan --output-on-failure -j 2

step "Native unit tests with ThreadSanitizer"
scripts/build.sh tsan
# ThreadSanitizer needs the classic address-space layout on kernels with high mmap entropy.
setarch "$(uname -m)" -R ctest --test-dir build/tsan --output-on-failure -j 2

step "Fuzzers, ${fuzz_seconds} s each"
scripts/build.sh fuzz
for fuzzer in build/fuzz/tests/fuzz/*_fuzz; do
    name="$(basename "$fuzzer" _fuzz)"
    scratch="$(mktemp -d)"  # new inputs, and (as TMPDIR) whatever folders the fuzzer makes
    mkdir "$scratch/corpus"
    TMPDIR="$scratch" "$fuzzer" -max_total_time="$fuzz_seconds" -timeout=10 \
        -print_final_stats=0 "$scratch/corpus" "tests/fuzz/corpus/$name" 2>&1 | tail -n 2
    rm -rf "$scratch"
done

step "Win32 build"
scripts/build.sh win32

step "dompack setup, read back by an independent PE reader"
/usr/bin/python3 tests/tools/check_setup_stamp.py build/native/tools/dompack/dompack \
    build/win32/app/SetupBare.exe build/win32/payload/sample

# shellcheck source=wine/wine_env.sh
source scripts/wine/wine_env.sh
wine_build=win32
if [ "$(wine_env_arch)" = win64 ]; then
    step "This kernel cannot run 32-bit programs: the tests under wine run a 64-bit build"
    scripts/build.sh win64
    wine_build=win64
fi

step "Portable tests under wine, Windows 98 family ($wine_build)"
scripts/wine/run_unit_tests.sh "build/$wine_build/tests"

step "Portable tests under wine, NT family ($wine_build)"
WINE_ENV_VERSION=default scripts/wine/run_unit_tests.sh "build/$wine_build/tests"

step "End-to-end suite under wine ($wine_build)"
tests/e2e/run_e2e.sh "build/$wine_build"

step "All tests passed"
