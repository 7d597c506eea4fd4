#!/usr/bin/env bash
# Runs every mingw-built unit test program (*_test.exe) found under the given folders under wine,
# all in one private prefix, and fails if any of them fails. Each program runs in the source
# folder that mirrors its build folder (as CTest runs the native ones), or in its own folder when
# that cannot be worked out.
#
#   scripts/wine/run_unit_tests.sh build/win32/tests [more folders...]
#
# The prefix is of the Windows 98 family; WINE_ENV_VERSION=default gives wine's own (NT). The
# programs share one private Xvfb display.
set -u

if [ "$#" -eq 0 ]; then
    echo "usage: $0 <folder-with-test-exes>..." >&2
    exit 2
fi

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=wine_env.sh
source "$here/wine_env.sh"

# The source folder for a test program's build folder: the build root is the nearest folder
# above it with a CMakeCache.txt, whose CMAKE_HOME_DIRECTORY is the source root.
source_folder_for() {
    local dir="$1" root source_root
    root="$dir"
    while [ "$root" != "/" ] && [ ! -f "$root/CMakeCache.txt" ]; do
        root="$(dirname "$root")"
    done
    if [ -f "$root/CMakeCache.txt" ]; then
        source_root="$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$root/CMakeCache.txt")"
        if [ -n "$source_root" ] && [ -d "$source_root/${dir#"$root"}" ]; then
            echo "$source_root/${dir#"$root"}"
            return
        fi
    fi
    echo "$dir"
}

programs=()
for folder in "$@"; do
    if [ ! -d "$folder" ]; then
        echo "not a folder: $folder" >&2
        exit 2
    fi
    while IFS= read -r exe; do
        programs+=("$exe")
    done < <(find "$(cd "$folder" && pwd)" -name '*_test.exe' -type f | sort)
done
if [ "${#programs[@]}" -eq 0 ]; then
    echo "no *_test.exe under: $*" >&2
    exit 1
fi

wine_env_trap
wine_env_make_prefix "${WINE_ENV_VERSION:-win98}" || exit 1
# Tests that create windows and read back what they painted need a display.
wine_env_start_xvfb || exit 1
# Links as a user of the host makes them, which a Win32 program cannot: one to a file outside,
# one to a name outside that does not exist (the file tests check nothing goes through them).
fixture="$WINEPREFIX/drive_c/Dom Link Fixture"
mkdir -p "$fixture/inside" "$fixture/outside" &&
    printf 'keep' >"$fixture/outside/precious.txt" &&
    ln -s "$fixture/outside/precious.txt" "$fixture/inside/to_file.txt" &&
    ln -s "$fixture/outside/nowhere.txt" "$fixture/inside/dangling.txt" ||
    { echo "cannot make the link fixture" >&2; exit 1; }

passed=()
failed=()
for exe in "${programs[@]}"; do
    name="$(basename "$exe")"
    echo "=== $name"
    if (cd "$(source_folder_for "$(dirname "$exe")")" && wine_env_run "$exe"); then
        passed+=("$name")
    else
        failed+=("$name (status $?)")
    fi
done

echo
echo "unit tests under wine: ${#passed[@]} passed, ${#failed[@]} failed"
for entry in "${failed[@]}"; do
    echo "  FAILED: $entry"
done
[ "${#failed[@]}" -eq 0 ]
