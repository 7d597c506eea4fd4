#!/usr/bin/env bash
# How large a payload the 32-bit Setup.exe can carry under wine, and what a large one costs it.
# By hand, never by the tests:
#
#   bench/large_payload.sh [SIZE_MIB...]     (default: 1024)
#
# For each size it writes a game folder of that many MiB of incompressible data
# (build/bench-large/payload-SIZE; a pack is then about as large), stamps it into the stub with
# `dompack setup` (timed against `dompack build` of the same folder), and under wine, in a
# private prefix on its own Xvfb display:
#   - the time from the start of Setup.exe to its menu screen on the display, and the private
#     memory (RssAnon) of its process then, against the same for the sample's Setup.exe, in
#     interleaved rounds (warm page cache);
#   - the end-to-end driver's LargePayloadTest: a first install, the installed tree compared with
#     the folder file by file, and the uninstall from the menu screen.
# Needs the win32 build (scripts/build.sh win32). Prints a table; about a minute per GiB.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1024)
win32="$root/build/win32"
dompack="$root/build/native/tools/dompack/dompack"
work="$root/build/bench-large"
rounds="${DOMINARCH_BENCH_ROUNDS:-5}"
for needed in "$dompack" "$win32/app/SetupBare.exe" "$win32/app/Setup.exe" \
    "$win32/tests/e2e/dominarch_e2e.exe"; do
    [ -f "$needed" ] || { echo "missing $needed: run scripts/build.sh win32" >&2; exit 2; }
done
mkdir -p "$work"

# make_payload SIZE FOLDER: the stand-in game, and SIZE MiB of random data in files of 32 MiB.
make_payload() {
    local size="$1" folder="$2"
    [ -f "$folder/.complete" ] && return
    rm -rf "$folder"
    mkdir -p "$folder/data/pieces"
    cp "$win32/sample/Dominarch.exe" "$folder/"
    local left="$size" n=0
    while [ "$left" -gt 0 ]; do
        local piece=$((left < 32 ? left : 32))
        head -c "$((piece * 1048576))" /dev/urandom >"$folder/data/pieces/piece$(printf %04d $n).bin"
        left=$((left - piece))
        n=$((n + 1))
    done
    touch "$folder/.complete"
}

# seconds COMMAND...: the wall time of a command, in seconds.
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}

# A build folder as run_e2e.sh wants one, whose Setup.exe carries `payload`.
fake_build() {
    local folder="$1" setup="$2" payload="$3"
    rm -rf "$folder"
    mkdir -p "$folder/app" "$folder/sample" "$folder/res/lang" "$folder/tests/e2e"
    ln -s "$setup" "$folder/app/Setup.exe"
    ln -s "$win32/app/SetupBare.exe" "$folder/app/SetupBare.exe"
    ln -s "$win32/sample/Dominarch.exe" "$folder/sample/Dominarch.exe"
    ln -s "$win32/res/lang/resDE.dll" "$folder/res/lang/resDE.dll"
    cp "$win32/tests/e2e/dominarch_e2e.exe" "$folder/tests/e2e/"
    echo "DOMINARCH_PAYLOAD_DIR:PATH=$payload" >"$folder/CMakeCache.txt"
}

# shellcheck source=../scripts/wine/wine_env.sh
source "$root/scripts/wine/wine_env.sh"

# menu_probe EXE...: per program, "seconds rss_kib" of one start to its menu screen.
menu_probe() {
    local exe name start found pid
    for exe in "$@"; do
        name="$(basename "$exe")"
        start=$(date +%s.%N)
        wine "$(winepath -w "$exe")" >/dev/null 2>&1 &
        found=""
        for _ in $(seq 1 600); do
            if xwininfo -root -tree 2>/dev/null | grep -q '"Dominarch Installer"'; then
                found=1
                break
            fi
            sleep 0.02
        done
        local elapsed
        elapsed=$(echo "$(date +%s.%N) - $start" | bc)
        # The program's own process is the one of its image with the most private memory.
        pid=$(for p in $(pgrep -f "$name"); do
            echo "$(awk '/RssAnon/ {print $2}' "/proc/$p/status" 2>/dev/null || echo 0) $p"
        done | sort -n | tail -1 | cut -d' ' -f2)
        local rss
        rss=$(awk '/RssAnon/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
        echo "${found:+$elapsed} $rss"
        wineserver -k >/dev/null 2>&1 || true
        sleep 1
    done
}

results="$work/results.txt"
: >"$results"
for size in "${sizes[@]}"; do
    payload="$work/payload-$size"
    echo "== $size MiB: writing the payload"
    make_payload "$size" "$payload"
    setup="$work/Setup-$size.exe"
    build_time=$(seconds "$dompack" build "$payload" "$work/payload-$size.pack")
    if ! setup_time=$(seconds "$dompack" setup "$payload" "$setup" --stub "$win32/app/SetupBare.exe"); then
        echo "$size MiB: dompack setup refuses it" | tee -a "$results"
        continue
    fi
    rm -f "$work/payload-$size.pack"
    echo "dompack: build ${build_time} s, setup ${setup_time} s," \
        "setup/build $(echo "scale=3; $setup_time / $build_time" | bc)" | tee -a "$results"

    (
        wine_env_trap
        wine_env_make_prefix win98 >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        wine_env_start_xvfb >/dev/null 2>&1
        menu_probe "$win32/app/Setup.exe" >/dev/null  # warm-up
        ratios=()
        extra=()
        for round in $(seq 1 $rounds); do
            read -r small_s small_rss < <(menu_probe "$win32/app/Setup.exe")
            read -r large_s large_rss < <(menu_probe "$setup")
            echo "round $round: menu after ${small_s:-never} s (sample) / ${large_s:-never} s" \
                "($size MiB); RssAnon ${small_rss} / ${large_rss} KiB"
            if [ -n "$small_s" ] && [ -n "$large_s" ]; then
                ratios+=("$(echo "scale=3; $large_s / $small_s" | bc)")
                extra+=("$((large_rss - small_rss))")
            fi
        done
        median() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
        if [ ${#ratios[@]} -gt 0 ]; then
            echo "$size MiB against the sample: time to the menu $(median "${ratios[@]}") times" \
                "(median of the rounds' ratios; goal <= 1.5), private memory" \
                "$(median "${extra[@]}") KiB more (goal <= 10240)"
        fi
    ) | tee -a "$results"

    fake_build "$work/build-$size" "$setup" "$payload"
    if "$root/tests/e2e/run_e2e.sh" "$work/build-$size" --gtest_also_run_disabled_tests \
        --gtest_filter='LargePayloadTest.*' >"$work/e2e-$size.log" 2>&1; then
        echo "$size MiB: installs, compares and uninstalls" | tee -a "$results"
    else
        echo "$size MiB: the install FAILED (see $work/e2e-$size.log)" | tee -a "$results"
    fi
    rm -f "$setup"
done
echo "results: $results"
