#!/usr/bin/env bash
# Extraction benchmark, run by hand (never part of the tests):  bench/run_bench.sh [RUNS]
#   DOMINARCH_BENCH_WINE=0 leaves out the part under wine.
#
# Builds what it needs (build/bench-build, RelWithDebInfo: -O2, as the shipped builds), generates
# the full-size payload once (build/bench/payload, reused while its stamp matches the generator),
# packs it with `dompack build` (gzip -9) and as a tar.gz of the same tree (`tar -czf`, gzip's
# default level), and then measures, with archives and target folders on one file system, the
# median of RUNS runs (default 10, at least 5) of each of:
#   (a) memgz_discard_bench: the whole pack read through memgz_read into a discard buffer, which
#       is the cost of decompression alone;
#   (b) `dompack extract` of the pack into a fresh folder, through the installer's pipeline;
#   (c) `tar -xzf` of the tar.gz into a fresh folder;
#   (w) tree_write_bench: the tree written into a fresh folder from memory (decompressed first,
#       untimed) with the writer's calls on one thread: the cost of writing alone, which with (a)
#       bounds from below what any copy can cost.
# The runs are interleaved (a, b, c, a, b, c, ...) so that a change in the load of a shared
# machine falls on all three alike; the ratio of (b) to (a) is taken run by run (its median and
# its worst). Then RUNS pairs of (a) and (b) once more while one competing busy process
# (`sha256sum /dev/zero`) runs, as on a player's machine that is not idle. On tmpfs each run's
# target folder is removed before the next run (see fresh_folder); elsewhere they stay until the
# end (below).
#
# Under wine (needs wine, Xvfb and the mingw toolchain: scripts/install-deps.sh): a win32 build
# whose Setup.exe carries the benchmark payload (build/bench-win32), and the end-to-end driver's
# benchmark (tests/e2e/bench_test.cpp), which per round times Setup.exe's first install against
# a memgz read of the same pack in the same wine, and the uninstall against a plain recursive
# delete of the same tree; RUNS rounds, the ratios taken round by round; then RUNS rounds more
# beside one competing busy process, as natively.
#
# Every run of (b) and (c) writes into a folder of its own that is not removed until all runs are
# over (but on tmpfs): on ext4 without a journal, creating a file skips, one by
# one, the inodes deleted in the last one to five minutes, so a tree removed just before a run
# makes that run pay for the removal (this once cost a run several times the extraction itself).
# For the same reason a second start within five minutes of the last removal first waits for the
# rest of that time. A `sync` between runs, not timed, keeps one run's write-back out of the next.
#
# DOMINARCH_BENCH_TARGET=FOLDER puts the target folders in FOLDER/dominarch-bench-targets (on
# another file system, say); by default they are in build/bench/targets, beside the archives.
#
# Caches are not dropped (that needs root, and would disturb everyone else on a shared machine),
# so the page cache is warm: one untimed warm-up run of each comes first, and it also checks that
# (b) and (c) reproduce the payload exactly. Files are written into the page cache; the figures
# do not include the disk.
#
# Memory of (b) beyond the mapped pack: one more untimed run of (b) whose /proc/PID/status is
# sampled (bench/measure.py explains why): the peak of its anonymous memory (heap, thread stacks,
# buffers), which leaves out the pages of the mapped pack and of the mapped program, both
# file-backed. The kernel's own peak resident set less its file-backed part is shown beside it.
#
# Results: printed, and written to build/bench/results.txt.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-10}"
build="$root/build/bench-build"
work="$root/build/bench"
payload="$work/payload"
pack="$work/bench.pack"
targz="$work/bench.tar.gz"
targets="$work/targets"
if [[ -n "${DOMINARCH_BENCH_TARGET:-}" ]]; then
    targets="$DOMINARCH_BENCH_TARGET/dominarch-bench-targets"
fi
removed_stamp="$work/targets-removed"  # when the last run's target folders were removed
out=""                                 # the folder the current run writes into
raw="$work/raw.txt"
log="$work/log.txt"
measure=(python3 "$root/bench/measure.py")

if ! [[ "$runs" =~ ^[0-9]+$ ]] || ((runs < 5)); then
    echo "usage: bench/run_bench.sh [RUNS]   (RUNS: 5 or more, default 10)" >&2
    exit 2
fi

step() { printf '== %s\n' "$*" >&2; }

configure_and_build() {
    if [[ ! -f "$build/build.ninja" ]]; then
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo || return
    fi
    cmake --build "$build" -j 2 --target dompack memgz_discard_bench tree_write_bench
}

build_tools() {
    step "building dompack and memgz_discard_bench in $build"
    if ! configure_and_build >"$work/build.log" 2>&1; then
        cat "$work/build.log" >&2
        exit 1
    fi
    dompack="$build/tools/dompack/dompack"
    discard="$build/bench/memgz_discard_bench"
    tree_write="$build/bench/tree_write_bench"
}

make_payload() {
    local wanted
    wanted="$(python3 "$root/bench/make_bench_payload.py" --stamp)"
    if [[ -d "$payload" && -f "$payload.stamp" && "$(cat "$payload.stamp")" == "$wanted" ]]; then
        step "payload: reusing $payload"
        return
    fi
    step "payload: generating $payload"
    local replaced=0
    [[ -d "$payload" ]] && replaced=1
    python3 "$root/bench/make_bench_payload.py" "$payload"
    if ((replaced)); then
        date +%s >"$removed_stamp"  # the old tree's inodes were just freed: see above
    fi
}

make_archives() {
    if [[ ! -f "$pack" || "$payload.stamp" -nt "$pack" || "$dompack" -nt "$pack" ]]; then
        step "packing with dompack build (gzip -9)"
        "$dompack" build "$payload" "$pack" >&2
    fi
    if [[ ! -f "$targz" || "$payload.stamp" -nt "$targz" ]]; then
        step "making the tar.gz (gzip default level)"
        tar -czf "$targz.partial" -C "$payload" .
        mv "$targz.partial" "$targz"
    fi
}

targets_on_tmpfs() {
    mkdir -p "$targets"
    [[ "$(stat -f -c %T "$targets")" == tmpfs ]]
}

# A new, empty target folder for one run, named after it. On tmpfs the last run's folder goes
# first (untimed): freed inodes cost nothing there, while memory the machine has not written since
# it started can cost far more than the copy. On a virtual machine whose host backs the guest's
# memory only when it is first touched, 105 MB took 0.44 s to write into such memory and 0.05 s
# into memory written before; ten trees kept side by side made every run pay that, by a varying
# amount, and the figures measured the machine rather than the copy.
fresh_folder() {
    if [[ -n "$out" && -d "$out" ]] && targets_on_tmpfs; then
        rm -rf "$out"
    fi
    out="$targets/$1"
    mkdir -p "$out"
    sync
}

run_a() { "${measure[@]}" time a "$log" -- "$discard" "$pack"; }
run_b() {
    fresh_folder "b.$1"
    "${measure[@]}" time b "$log" -- "$dompack" extract "$pack" "$out"
}
# The program times its writing itself: "write WALL CPU" -> "w WALL CPU".
run_w() {
    fresh_folder "w.$1"
    "$tree_write" "$pack" "$out" 2>>"$log" | sed -n 's/^write /w /p'
}
run_busy_a() { "${measure[@]}" time A "$log" -- "$discard" "$pack"; }
run_busy_b() {
    fresh_folder "B.$1"
    "${measure[@]}" time B "$log" -- "$dompack" extract "$pack" "$out"
}
run_c() {
    fresh_folder "c.$1"
    "${measure[@]}" time c "$log" -- tar -xzf "$targz" -C "$out"
}

remove_targets() {
    if [[ -d "$targets" ]]; then
        rm -rf "$targets"
        sync
        date +%s >"$removed_stamp"
    fi
}

# Waits until the inodes freed by the last removal of target folders are no longer skipped.
wait_after_removal() {
    local removed now wait_for
    if targets_on_tmpfs; then
        return  # tmpfs does not skip freed inodes
    fi
    removed="$(cat "$removed_stamp" 2>/dev/null || echo 0)"
    now="$(date +%s)"
    wait_for=$((removed + 300 - now))
    if ((wait_for > 0)); then
        step "waiting ${wait_for} s: target folders were removed less than five minutes ago"
        sleep "$wait_for"
    fi
}

same_as_payload() {
    if ! diff -r "$payload" "$out" >/dev/null; then
        echo "run_bench: $1 did not reproduce the payload in $out" >&2
        exit 1
    fi
}

main() {
    mkdir -p "$work"
    build_tools
    make_payload
    make_archives
    : >"$log"
    : >"$raw"
    remove_targets  # left over by an interrupted run
    wait_after_removal

    local with_b=1
    if ! "$dompack" extract --help >/dev/null 2>&1; then
        step "this dompack has no 'extract' command: measuring (a) and (c) only"
        with_b=0
    fi

    step "warm-up (untimed), and a check of what (b) and (c) write"
    run_a >/dev/null
    if ((with_b)); then
        run_b warm-up >/dev/null
        same_as_payload "dompack extract"
    fi
    run_c warm-up >/dev/null
    same_as_payload "tar -xzf"

    echo "load $(cut -d' ' -f1-3 /proc/loadavg)" >>"$raw"
    local i
    for ((i = 1; i <= runs; i++)); do
        step "run $i of $runs"
        run_a >>"$raw"
        if ((with_b)); then
            run_b "$i" >>"$raw"
        fi
        run_c "$i" >>"$raw"
        run_w "$i" >>"$raw"
    done

    if ((with_b)); then
        busy_series
        step "memory of (b)"
        fresh_folder b.memory
        echo "memory $("${measure[@]}" memory "$log" -- "$dompack" extract "$pack" "$out")" >>"$raw"
    fi

    remove_targets
    if [[ "${DOMINARCH_BENCH_WINE:-1}" != 0 ]]; then
        wine_series
    fi
    "${measure[@]}" summary "$raw" "$pack" "$targz" "$(dirname "$targets")" | tee "$work/results.txt"
}

busy=""  # the competing busy process while it runs
stop_busy() {
    if [[ -n "$busy" ]]; then
        kill "$busy" 2>/dev/null || true
        wait "$busy" 2>/dev/null || true
        busy=""
    fi
}
trap stop_busy EXIT

busy_series() {
    step "the same with one competing busy process (sha256sum /dev/zero)"
    sha256sum /dev/zero &
    busy=$!
    sleep 1
    local i
    for ((i = 1; i <= runs; i++)); do
        step "busy run $i of $runs"
        run_busy_a >>"$raw"
        run_busy_b "$i" >>"$raw"
    done
    stop_busy
}

# The install and uninstall under wine: a win32 build carrying the benchmark payload (a 64-bit
# one where the kernel refuses 32-bit programs: see scripts/wine/wine_env.sh), and the
# end-to-end driver's benchmark run in the suite's own prefix and display.
wine_series() {
    local arch toolchain win32
    # shellcheck source=../scripts/wine/wine_env.sh
    arch="$(source "$root/scripts/wine/wine_env.sh" && wine_env_arch)"
    toolchain="$root/cmake/mingw-i686.cmake"
    [ "$arch" = win64 ] && toolchain="$root/cmake/mingw-x86_64.cmake"
    win32="$root/build/bench-$arch"
    step "under wine: building Setup.exe with the benchmark payload in $win32"
    if ! { cmake -S "$root" -B "$win32" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DDOMINARCH_DOMPACK="$dompack" -DDOMINARCH_PAYLOAD_DIR="$payload" &&
        cmake --build "$win32" -j 2 --target Setup dominarch_e2e Dominarch resDE; } \
        >"$work/build-$arch.log" 2>&1; then
        cat "$work/build-$arch.log" >&2
        exit 1
    fi
    step "under wine: $runs rounds of install, uninstall and their references"
    wine_rounds "$win32" "$work/wine.log" w
    step "under wine: $runs rounds more, beside one competing busy process (sha256sum /dev/zero)"
    sha256sum /dev/zero &
    busy=$!
    sleep 1
    wine_rounds "$win32" "$work/wine-busy.log" W
    stop_busy
}

# wine_rounds BUILD LOG PREFIX: the driver's benchmark rounds, each line
# "bench round N: discard S install S uninstall S delete S write S" kept in the raw figures as
# "<PREFIX>d S 0", "<PREFIX>i S 0", "<PREFIX>u S 0", "<PREFIX>x S 0", "<PREFIX>w S 0".
wine_rounds() {
    DOMINARCH_E2E_BENCH=1 DOMINARCH_BENCH_ROUNDS="$runs" "$root/tests/e2e/run_e2e.sh" "$1" \
        --gtest_also_run_disabled_tests --gtest_filter='BenchTest.*' >"$2" 2>&1 || {
        grep -v '^wine: Read access denied' "$2" | tail -n 30 >&2
        step "the part under wine failed (see $2): its rounds so far are counted"
    }
    sed -n "s/^bench round [0-9]*: discard \([0-9.]*\) install \([0-9.]*\) uninstall \([0-9.]*\) delete \([0-9.]*\) write \([0-9.]*\).*/$3d \1 0\n$3i \2 0\n$3u \3 0\n$3x \4 0\n$3w \5 0/p" \
        "$2" >>"$raw"
}

main "$@"
