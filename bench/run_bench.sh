#!/usr/bin/env bash
# Extraction benchmark, run by hand (never part of the tests):  bench/run_bench.sh [RUNS]
#
# Builds what it needs (build/bench-build, RelWithDebInfo: -O2, as the shipped builds), generates
# the full-size payload once (build/bench/payload, reused while its stamp matches the generator),
# packs it with `dompack build` (gzip -9) and as a tar.gz of the same tree (`tar -czf`, gzip's
# default level), and then measures, with archives and target folders on one file system, the
# median of RUNS runs (default 7, at least 5) of each of:
#   (a) memgz_discard_bench: the whole pack read through memgz_read into a discard buffer, which
#       is the cost of decompression alone;
#   (b) `dompack extract` of the pack into a fresh folder, through the installer's pipeline;
#   (c) `tar -xzf` of the tar.gz into a fresh folder.
# The runs are interleaved (a, b, c, a, b, c, ...) so that a change in the load of a shared
# machine falls on all three alike. Every run of (b) and (c) writes into a folder of its own that
# is not removed until all runs are over: on ext4 without a journal, creating a file skips, one by
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
runs="${1:-7}"
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
    echo "usage: bench/run_bench.sh [RUNS]   (RUNS: 5 or more, default 7)" >&2
    exit 2
fi

step() { printf '== %s\n' "$*" >&2; }

configure_and_build() {
    if [[ ! -f "$build/build.ninja" ]]; then
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo || return
    fi
    cmake --build "$build" -j 2 --target dompack memgz_discard_bench
}

build_tools() {
    step "building dompack and memgz_discard_bench in $build"
    if ! configure_and_build >"$work/build.log" 2>&1; then
        cat "$work/build.log" >&2
        exit 1
    fi
    dompack="$build/tools/dompack/dompack"
    discard="$build/bench/memgz_discard_bench"
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

# A new, empty target folder for one run, named after it.
fresh_folder() {
    out="$targets/$1"
    mkdir -p "$out"
    sync
}

run_a() { "${measure[@]}" time a "$log" -- "$discard" "$pack"; }
run_b() {
    fresh_folder "b.$1"
    "${measure[@]}" time b "$log" -- "$dompack" extract "$pack" "$out"
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
    done

    if ((with_b)); then
        step "memory of (b)"
        fresh_folder b.memory
        echo "memory $("${measure[@]}" memory "$log" -- "$dompack" extract "$pack" "$out")" >>"$raw"
    fi

    "${measure[@]}" summary "$raw" "$pack" "$targz" "$targets" | tee "$work/results.txt"
    remove_targets
}

main
