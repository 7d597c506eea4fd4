#!/usr/bin/env bash
# Runs one Win32 program in a fresh private wine prefix on a private Xvfb display, cleans up,
# and exits with the program's status. WINE_ENV_VERSION picks the Windows version (default
# win98; "default" keeps wine's own).
#
#   scripts/wine/run_with_display.sh program.exe [args...]
set -u

if [ "$#" -lt 1 ]; then
    echo "usage: $0 <program.exe> [args...]" >&2
    exit 2
fi

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=wine_env.sh
source "$here/wine_env.sh"
wine_env_trap
wine_env_make_prefix "${WINE_ENV_VERSION:-win98}" || exit 1
wine_env_start_xvfb || exit 1
wine_env_run "$@"
