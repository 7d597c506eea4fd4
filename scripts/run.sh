#!/usr/bin/env bash
# Builds Setup.exe with the embedded sample payload and runs it under wine, in the project's own
# wine prefix (build/wine-prefix, of the Windows 98 family; never ~/.wine), on your display.
# Where there is no display, it runs on a virtual one, saves a picture of the menu screen and
# says where it is. Where the kernel cannot run 32-bit programs (some virtual machines), only a
# 64-bit wine runs: then the 64-bit build of the same sources is run, in build/wine-prefix-win64.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

"$root/scripts/install-deps.sh"
# shellcheck source=wine/wine_env.sh
source "$root/scripts/wine/wine_env.sh"
wine_env_export_defaults
build="$WINEARCH"
# Only what is run here: Setup.exe (with the native dompack that packs its payload) and the
# helper that shows the menu screen where there is no display.
"$root/scripts/build.sh" "$build" Setup window_snapshot
# The publisher's folder (build/publisher) holds the shipped, 32-bit stub in any case.
[ "$build" = win32 ] || "$root/scripts/build.sh" win32 SetupBare

export WINEPREFIX="$root/build/wine-prefix"
[ "$build" = win64 ] && WINEPREFIX="$root/build/wine-prefix-win64"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    wine_env_sandbox_user_folders
    # The installer accepts only the Windows 98 family, as a user of a newer Windows would pick
    # a compatibility mode.
    wine reg add 'HKCU\Software\Wine' /v Version /d win98 /f >/dev/null 2>&1
fi

setup="$root/build/$build/app/Setup.exe"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Running $setup"
    exec wine "$setup"
fi

echo "No display: running on a virtual one"
trap 'wineserver -k >/dev/null 2>&1 || true; [ -n "$WINE_ENV_XVFB_PID" ] && kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true' EXIT
wine_env_start_xvfb
mkdir -p "$root/build/screenshots"
bmp="$root/build/screenshots/menu_screen.bmp"
png="$root/build/screenshots/menu_screen.png"
wine "$setup" &
setup_pid=$!
wine "$root/build/$build/tests/e2e/window_snapshot.exe" "Dominarch Installer" \
    "$(winepath -w "$bmp")" --escape
wait "$setup_pid"
echo "Setup.exe ended with exit code $?"
python3 "$root/scripts/wine/bmp_to_png.py" "$bmp" "$png"
echo "The menu screen as it was shown: $png"
