#!/usr/bin/env bash
# Runs the end-to-end suite against a win32 build: a private wine prefix (Windows 98 family), a
# private Xvfb display, the suite program with the build's Setup.exe, then clean-up. Exits with
# the suite's status. A screenshot of the menu screen is left in <build>/e2e/menu_screen.png,
# and a failed check of what a menu item shows leaves the seen and expected pictures there too
# (as PNG), beside the pictures the README shows (the folder browser, the disk space warning,
# the progress indicator). With --update-docs, a run that passed also copies those to docs/.
#
# As root it mounts three small file systems into the prefix for the disk-space tests (C:\Dom
# Space 300 MiB, C:\Dom Tiny 8 MiB, C:\Dom ReadOnly read-only), and for the benchmark one more
# (C:\Dom Bench, 2 GiB), and unmounts them however the run ends; without root those tests are
# skipped.
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
stub="$build/app/SetupBare.exe"
game="$build/sample/Dominarch.exe"
language_library="$build/res/lang/resDE.dll"
for needed in "$suite" "$setup" "$stub" "$game" "$language_library"; do
    if [ ! -f "$needed" ]; then
        echo "missing $needed (build the win32 build first)" >&2
        exit 2
    fi
done

# shellcheck source=../../scripts/wine/wine_env.sh
source "$repo/scripts/wine/wine_env.sh"
wine_env_trap
wine_env_make_prefix win98 || exit 1
# Without a window manager on the display, wine draws the windows' captions and frames itself,
# so the pictures show dialogs whole.
timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
    { echo "cannot make wine draw its own window frames" >&2; exit 1; }
wine_env_start_xvfb || exit 1
small_drives=()
if wine_env_mount_tmpfs "Dom Space" size=300m && wine_env_mount_tmpfs "Dom Tiny" size=8m &&
    wine_env_mount_tmpfs "Dom ReadOnly" ro,size=300m; then
    small_drives=(--small-drives)
else
    echo "not root: the tests on small drives are skipped" >&2
fi
# The benchmark (DOMINARCH_E2E_BENCH=1, set by bench/run_bench.sh) installs onto a file system of
# its own in memory, C:\Dom Bench, so that the disk's state does not make the figures.
if [ "${DOMINARCH_E2E_BENCH:-0}" = 1 ] && ! wine_env_mount_tmpfs "Dom Bench" size=2g; then
    echo "not root: the benchmark installs onto the prefix's own disk" >&2
fi

# Links as a user of the host makes them, for the links test: a game folder whose "save", two
# folders in its data\ (one of them empty) and a file at its top lead outside it, whose Manual.txt
# (a payload file) is a link to a file outside, and whose far.txt leads to a file whose Windows
# path is longer than 260 characters (C:\Dom Deep\ and three folders of 100 characters each).
make_link_fixture() {
    local outside="$WINEPREFIX/drive_c/Dom Outside" game="$WINEPREFIX/drive_c/Dom Links/Dominarch"
    local deep
    deep="$WINEPREFIX/drive_c/Dom Deep/$(printf 'd%.0s' {1..100})"
    deep="$deep/${deep##*/}/${deep##*/}"
    mkdir -p "$outside/saves" "$outside/data" "$outside/empty" "$game/data" "$deep" &&
        printf 'saved game' >"$outside/saves/game1.sav" &&
        printf 'level' >"$outside/data/level.dat" &&
        printf 'sentinel' >"$outside/sentinel.txt" &&
        printf 'not the game manual' >"$outside/manual.txt" &&
        printf 'far away' >"$deep/far.txt" &&
        ln -s "$outside/saves" "$game/save" &&
        ln -s "$outside/data" "$game/data/linked" &&
        ln -s "$outside/empty" "$game/data/empty" &&
        ln -s "$outside/sentinel.txt" "$game/linked.txt" &&
        ln -s "$outside/manual.txt" "$game/Manual.txt" &&
        ln -s "$deep/far.txt" "$game/far.txt"
}
make_link_fixture || { echo "cannot make the links of the links test" >&2; exit 1; }

# The game folder Setup.exe carries: the one the build was given, or the sample it assembled.
payload="$(sed -n 's/^DOMINARCH_PAYLOAD_DIR:PATH=//p' "$build/CMakeCache.txt" 2>/dev/null)"
[ -n "$payload" ] || payload="$build/payload/sample"

artifacts="$build/e2e"
mkdir -p "$artifacts"

# Setup.exe signed as a publisher signs it, with a throwaway self-signed certificate.
signed="$WINEPREFIX/drive_c/SetupSigned.exe"
if ! openssl req -x509 -newkey rsa:2048 -nodes -keyout "$WINEPREFIX/sign-key.pem" \
        -out "$WINEPREFIX/sign-cert.pem" -days 2 -subj "/CN=Dominarch test publisher" \
        >/dev/null 2>&1 ||
    ! osslsigncode sign -certs "$WINEPREFIX/sign-cert.pem" -key "$WINEPREFIX/sign-key.pem" \
        -in "$setup" -out "$signed" >/dev/null; then
    echo "cannot sign Setup.exe for the signed-installer test" >&2
    exit 1
fi
rm -f "$artifacts"/*.bmp "$artifacts"/*.png "$artifacts"/*.lnk "$artifacts"/*.lnk.expected

windows_path() { winepath -w "$1" 2>/dev/null; }

wine_env_run "$suite" "$(windows_path "$setup")" \
    "--screenshot=$(windows_path "$artifacts/menu_screen.bmp")" \
    "--game=$(windows_path "$game")" \
    "--language-library=$(windows_path "$language_library")" \
    "--artifacts=$(windows_path "$artifacts")" \
    "--payload=$(windows_path "$payload")" "--stub=$(windows_path "$stub")" \
    "--signed-setup=$(windows_path "$signed")" \
    ${small_drives[@]+"${small_drives[@]}"} \
    ${gtest_flags[@]+"${gtest_flags[@]}"}
status=$?

# The shortcuts the suite left behind, read once more by a reader that is neither wine nor ours.
if ! python3 "$repo/scripts/wine/check_shortcuts.py" "$artifacts"; then
    echo "the shortcuts are not what the suite expected" >&2
    [ "$status" != 0 ] || status=1
fi

for bmp in "$artifacts"/*.bmp; do
    [ -f "$bmp" ] || continue
    python3 "$repo/scripts/wine/bmp_to_png.py" "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
docs_pictures=(menu_screen.png folder_browser.png disk_space.png progress_indicator.png
    desktop_question.png install_error.png)
for picture in "${docs_pictures[@]}"; do
    [ -f "$artifacts/$picture" ] && echo "screenshot: $artifacts/$picture"
done
if [ "$update_docs" = 1 ]; then
    if [ "$status" = 0 ]; then
        for picture in "${docs_pictures[@]}"; do
            [ -f "$artifacts/$picture" ] && cp "$artifacts/$picture" "$repo/docs/$picture" &&
                echo "updated: $repo/docs/$picture"
        done
    else
        echo "docs/ left as it was: the suite failed" >&2
    fi
fi
echo "end-to-end suite: status $status"
exit "$status"
