# shellcheck shell=bash
# Sourceable helpers that give a test run its own wine world: a private 32-bit prefix, a private
# Xvfb display, and a clean-up that stops exactly what was started here (by process id) and
# removes the prefix. Typical use:
#
#   source scripts/wine/wine_env.sh
#   wine_env_trap                  # clean up on EXIT, INT and TERM
#   wine_env_make_prefix           # WINEPREFIX under mktemp, Windows 98 family
#   wine_env_start_xvfb            # exports DISPLAY
#   wine_env_run prog.exe args...  # returns the program's exit status
#
# Nothing here ever touches ~/.wine or signals a process it did not start.

WINE_ENV_PREFIX=""    # the prefix this shell created (removed on clean-up)
WINE_ENV_XVFB_PID=""  # the Xvfb this shell started
WINE_ENV_CHILD_PID="" # the program wine_env_run is waiting for
WINE_ENV_MOUNTS=()    # the file systems this shell mounted into the prefix (unmounted on clean-up)
WINE_ENV_RUN_TIMEOUT="${WINE_ENV_RUN_TIMEOUT:-600}"  # seconds one wine_env_run may take

wine_env_log() { echo "[wine_env] $*" >&2; }

# True when this kernel runs 32-bit programs, which wine's 32-bit loader is. Some virtual
# machines' kernels refuse them ("Exec format error"); there only a 64-bit wine runs.
wine_env_runs_32bit() {
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# The wine this machine runs, and with it the build whose programs run in it: "win32" (the
# product's own build, build/win32) where the kernel runs 32-bit programs, else "win64" (the same
# sources built for 64-bit Windows, build/win64). WINE_ENV_ARCH set by hand wins.
wine_env_arch() {
    if [ -n "${WINE_ENV_ARCH:-}" ]; then
        echo "$WINE_ENV_ARCH"
    elif wine_env_runs_32bit; then
        echo win32
    else
        echo win64
    fi
}

# Quiet, prompt-free wine: no debug chatter, no mono/gecko installers, no menu or desktop entries
# written to the host. A 64-bit prefix is run by the 64-bit loader (wine64-bin's "wine").
wine_env_export_defaults() {
    WINEARCH="$(wine_env_arch)"
    export WINEARCH
    if [ "$WINEARCH" = win64 ]; then
        local bin
        bin="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64-bin"
        case ":$PATH:" in
            *":$bin:"*) ;;
            *) export PATH="$bin:$PATH" ;;
        esac
    fi
    export WINEDEBUG="${WINEDEBUG:--all}"
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

# Replaces the user folders that wine links to $HOME (Desktop, Documents, ...) by real folders,
# so that nothing a test program writes there lands in the host's home.
wine_env_sandbox_user_folders() {
    local link
    for link in "$WINEPREFIX"/drive_c/users/*/*; do
        if [ -L "$link" ]; then
            rm -f "$link" && mkdir -p "$link"
        fi
    done
}

# wine_env_make_prefix [windows-version]: creates a fresh prefix in a new temporary folder and
# exports WINEPREFIX. The version defaults to win98; "default" keeps wine's own (NT family).
wine_env_make_prefix() {
    local version="${1:-win98}"
    wine_env_export_defaults
    WINE_ENV_PREFIX="$(mktemp -d "${TMPDIR:-/tmp}/dominarch-wine.XXXXXX")" || return 1
    export WINEPREFIX="$WINE_ENV_PREFIX"
    if ! timeout 180 wineboot -i >/dev/null 2>&1; then
        wine_env_log "wineboot failed in $WINEPREFIX"
        return 1
    fi
    timeout 120 wineserver -w
    wine_env_sandbox_user_folders
    if [ "$version" != "default" ]; then
        timeout 60 wine reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1 ||
            { wine_env_log "cannot set the Windows version"; return 1; }
    fi
    # One server for the prefix's whole life: one that exits a moment after its last program
    # can be reached by the next program while it goes, which then fails with "recvmsg:
    # Connection reset by peer" before it runs. wine_env_cleanup stops it.
    timeout 120 wineserver -w
    timeout 30 wineserver -p ||
        { wine_env_log "cannot start a persistent wineserver"; return 1; }
    wine_env_log "prefix $WINEPREFIX ready (version $version)"
}

# A display is free when neither its lock file nor its socket exists.
wine_env_display_free() {
    [ ! -e "/tmp/.X$1-lock" ] && [ ! -e "/tmp/.X11-unix/X$1" ]
}

# wine_env_start_xvfb: starts Xvfb on the first free display from :90 upward, waits until it
# accepts connections, and exports DISPLAY. Another starter may win the same number; then the
# next one is tried.
wine_env_start_xvfb() {
    local display tries
    for display in $(seq 90 140); do
        wine_env_display_free "$display" || continue
        Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        WINE_ENV_XVFB_PID=$!
        for tries in $(seq 1 100); do
            if [ -e "/tmp/.X11-unix/X$display" ] && kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null; then
                export DISPLAY=":$display"
                wine_env_log "Xvfb pid $WINE_ENV_XVFB_PID on $DISPLAY"
                return 0
            fi
            kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        # It died (the display was taken meanwhile) or never came up: stop it and move on.
        kill "$WINE_ENV_XVFB_PID" 2>/dev/null
        wait "$WINE_ENV_XVFB_PID" 2>/dev/null
        WINE_ENV_XVFB_PID=""
    done
    wine_env_log "no free display for Xvfb"
    return 1
}

# wine_env_run program [args...]: runs a Win32 program in the prefix, on the display if one was
# started, and returns its exit status (124 or more when the time limit cut it off). It waits in
# the background so that INT and TERM reach the trap at once instead of after the program.
wine_env_run() {
    local status
    timeout --kill-after=10 "$WINE_ENV_RUN_TIMEOUT" wine "$@" &
    WINE_ENV_CHILD_PID=$!
    wait "$WINE_ENV_CHILD_PID"
    status=$?
    WINE_ENV_CHILD_PID=""
    if [ "$status" -ge 124 ] && [ "$status" -le 137 ]; then
        wine_env_log "$1 timed out or was killed (status $status)"
    fi
    return "$status"
}

# wine_env_mount_tmpfs NAME OPTIONS: mounts a tmpfs with the given mount options (say
# "size=8m" or "ro,size=300m") over the folder NAME of the prefix's drive C:, which wine then
# reports as a drive of that size. Needs root; fails (and mounts nothing) otherwise.
wine_env_mount_tmpfs() {
    local folder="$WINEPREFIX/drive_c/$1"
    [ "$(id -u)" -eq 0 ] || return 1
    mkdir -p "$folder" || return 1
    mount -t tmpfs -o "$2" tmpfs "$folder" 2>/dev/null || { rmdir "$folder"; return 1; }
    WINE_ENV_MOUNTS+=("$folder")
}

wine_env_unmount_all() {
    local folder
    for folder in ${WINE_ENV_MOUNTS[@]+"${WINE_ENV_MOUNTS[@]}"}; do
        umount "$folder" 2>/dev/null || umount -l "$folder" 2>/dev/null ||
            wine_env_log "cannot unmount $folder"
    done
    WINE_ENV_MOUNTS=()
}

# Stops this prefix's wineserver and every program in it, unmounts what was mounted into it, then
# stops Xvfb and removes the prefix (never crossing into a file system still mounted there).
wine_env_cleanup() {
    if [ -n "$WINE_ENV_CHILD_PID" ]; then
        kill "$WINE_ENV_CHILD_PID" 2>/dev/null
    fi
    WINE_ENV_CHILD_PID=""
    if [ -n "$WINE_ENV_PREFIX" ] && [ -d "$WINE_ENV_PREFIX" ]; then
        WINEPREFIX="$WINE_ENV_PREFIX" timeout 30 wineserver -k >/dev/null 2>&1
        WINEPREFIX="$WINE_ENV_PREFIX" timeout 30 wineserver -w >/dev/null 2>&1
        wine_env_unmount_all
        rm -rf --one-file-system "$WINE_ENV_PREFIX"
    fi
    wine_env_unmount_all
    WINE_ENV_PREFIX=""
    if [ -n "$WINE_ENV_XVFB_PID" ]; then
        kill "$WINE_ENV_XVFB_PID" 2>/dev/null
        wait "$WINE_ENV_XVFB_PID" 2>/dev/null
    fi
    WINE_ENV_XVFB_PID=""
}

# Installs the clean-up on EXIT, and turns INT and TERM into an exit so that it runs once.
wine_env_trap() {
    trap wine_env_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
}
