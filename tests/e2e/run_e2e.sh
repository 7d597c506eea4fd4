#!/usr/bin/env bash
# Runs the end-to-end suite against a win32 build: a private wine prefix (Windows 98 family), a
# private Xvfb display, the suite program with the build's Setup.exe, then clean-up. Exits with
# the suite's status. A screenshot of the menu screen is left in <build>/e2e/menu_screen.png,
# and a failed check of what a menu item shows leaves the seen and expected pictures there too
# (as PNG). With --update-docs, a run that passed also copies the screenshot to
# docs/menu_screen.png, the README's picture.
#
#   tests/e2e/run_e2e.sh <win32-build-dir> [--update-docs] [gtest flags...]
set -u

if [ "$#" -lt 1 ]; then
    echo "usage: $0 <win32-build-dir> [--update-docs] [gtest flags...]" >&2
    exit 2
fi
build="$(cd "$1" 2>/dev/null && pwd)" || { echo "no such folder: $1" >&2; exit 2; }
shift
update_docs=0
gtest_flags=()
for argument in "$@"; do
    if [ "$argument" = "--update-docs" ]; then
        update_docs=1
    else
        gtest_flags+=("$argument")
    fi
done
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
suite="$build/tests/e2e/dominarch_e2e.exe"
setup="$build/app/Setup.exe"
game="$build/sample/Dominarch.exe"
language_library="$build/res/lang/resDE.dll"
for needed in "$suite" "$setup" "$game" "$language_library"; do
    if [ ! -f "$needed" ]; then
        echo "missing $needed (build the win32 build first)" >&2
        exit 2
    fi
done

# shellcheck source=../../scripts/wine/wine_env.sh
source "$repo/scripts/wine/wine_env.sh"
wine_env_trap
wine_env_make_prefix win98 || exit 1
wine_env_start_xvfb || exit 1

artifacts="$build/e2e"
mkdir -p "$artifacts"
rm -f "$artifacts"/*.bmp "$artifacts"/*.png

windows_path() { winepath -w "$1" 2>/dev/null; }

wine_env_run "$suite" "$(windows_path "$setup")" \
    "--screenshot=$(windows_path "$artifacts/menu_screen.bmp")" \
    "--game=$(windows_path "$game")" \
    "--language-library=$(windows_path "$language_library")" \
    "--artifacts=$(windows_path "$artifacts")" \
    ${gtest_flags[@]+"${gtest_flags[@]}"}
status=$?

for bmp in "$artifacts"/*.bmp; do
    [ -f "$bmp" ] || continue
    python3 "$repo/scripts/wine/bmp_to_png.py" "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
if [ -f "$artifacts/menu_screen.png" ]; then
    echo "screenshot: $artifacts/menu_screen.png"
fi
if [ "$update_docs" = 1 ]; then
    if [ "$status" = 0 ] && [ -f "$artifacts/menu_screen.png" ]; then
        cp "$artifacts/menu_screen.png" "$repo/docs/menu_screen.png" &&
            echo "updated: $repo/docs/menu_screen.png"
    else
        echo "docs/menu_screen.png left as it was: the suite failed or made no screenshot" >&2
    fi
fi
echo "end-to-end suite: status $status"
exit "$status"
