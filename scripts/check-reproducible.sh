#!/usr/bin/env bash
# Builds the payload-free installer (SetupBare.exe) twice, from two copies of this checkout in
# two different folders, each in a clean build folder, and compares them: the program files must
# hold nothing of where or when they were built. Prints both hashes. Then stamps the sample
# payload into each and compares those too. By hand (a few minutes); not part of the tests.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

hashes=()
for place in "first/src" "second/somewhere/else/src"; do
    mkdir -p "$work/$place"
    git -C "$root" archive HEAD | tar -x -C "$work/$place"
    (cd "$work/$place" && scripts/build.sh win32 SetupBare Setup >/dev/null)
    hashes+=("$(sha256sum "$work/$place/build/win32/app/SetupBare.exe" | cut -d' ' -f1)")
    hashes+=("$(sha256sum "$work/$place/build/win32/app/Setup.exe" | cut -d' ' -f1)")
done
echo "SetupBare.exe: ${hashes[0]} (first), ${hashes[2]} (second)"
echo "Setup.exe:     ${hashes[1]} (first), ${hashes[3]} (second)"
if [ "${hashes[0]}" != "${hashes[2]}" ] || [ "${hashes[1]}" != "${hashes[3]}" ]; then
    echo "the two builds differ" >&2
    exit 1
fi
echo "the two builds are byte for byte the same"
