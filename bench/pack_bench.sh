#!/usr/bin/env bash
# Packing benchmark, run by hand (never part of the tests):  bench/pack_bench.sh [RUNS]
#
# Builds what it needs: this tree's dompack (build/bench-build, RelWithDebInfo: -O2, as the
# shipped builds), and the dompack of DOMINARCH_BENCH_BASELINE_REV (by default 4409205, the last
# revision whose dompack wrote the pack as one gzip member on one core), taken with `git archive`
# into build/bench/baseline-REV and built there. Generates the full-size payload as run_bench.sh
# does (build/bench/payload, reused while its stamp matches the generator), installs pigz with
# apt when it is missing, and then measures the median of RUNS runs (default 5, at least 3) of:
#   (o) the baseline's `dompack build` of the payload: one member, one core;
#   (1) `dompack build` with DOMPACK_THREADS=1;
#   (n) `dompack build` on every core (the default);
#   (g) `tar -cf - | gzip -9` of the same tree;
#   (p) `tar -cf - | pigz -9` of the same tree (pigz on every core);
#   (s) `dompack setup` of the payload into the win32 build's stub (build/win32/app/SetupBare.exe;
#       left out when there is no win32 build), on every core.
# The runs are interleaved (o, 1, n, g, p, o, 1, ...) so that a change in the load of a shared
# machine falls on all of them alike, and each ratio is taken run by run (its median and its
# worst). One untimed warm-up run of each comes first (the page cache is warm; caches are not
# dropped); it also checks that (1) and (n) write the same bytes and that `dompack verify` passes.
# Every output goes to one file system (DOMINARCH_BENCH_TARGET, default build/bench), removed
# before each run, with an untimed `sync` between runs so that one run's write-back stays out of
# the next.
#
# Then the sizes of the pack, of the baseline's one-member pack and of gzip -9's output, and one
# more untimed run of (n) whose anonymous memory is sampled (bench/measure.py memory).
#
# Results: printed, and written to build/bench/pack-results.txt.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-5}"
jobs="${DOMINARCH_JOBS:-2}"
baseline_rev="${DOMINARCH_BENCH_BASELINE_REV:-4409205}"
build="$root/build/bench-build"
work="$root/build/bench"
payload="$work/payload"
baseline="$work/baseline-$baseline_rev"
outputs="${DOMINARCH_BENCH_TARGET:-$work}/dominarch-pack-outputs"
raw="$work/pack-raw.txt"
log="$work/pack-log.txt"
measure=(python3 "$root/bench/measure.py")

if ! [[ "$runs" =~ ^[0-9]+$ ]] || ((runs < 3)); then
    echo "usage: bench/pack_bench.sh [RUNS]   (RUNS: 3 or more, default 5)" >&2
    exit 2
fi

step() { printf '== %s\n' "$*" >&2; }

# build_dompack SOURCE BUILD LOG [cmake options...]
build_dompack() {
    local source="$1" dir="$2" build_log="$3"
    shift 3
    if ! { { [[ -f "$dir/build.ninja" ]] ||
        cmake -S "$source" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"; } &&
        cmake --build "$dir" -j "$jobs" --target dompack; } >"$build_log" 2>&1; then
        cat "$build_log" >&2
        exit 1
    fi
}

build_tools() {
    step "building dompack in $build"
    build_dompack "$root" "$build" "$work/build.log"
    dompack="$build/tools/dompack/dompack"
    if [[ ! -x "$baseline/build/tools/dompack/dompack" ]]; then
        step "building the baseline dompack of $baseline_rev in $baseline"
        rm -rf "$baseline"
        mkdir -p "$baseline/src"
        git -C "$root" archive "$baseline_rev" | tar -x -C "$baseline/src"
        build_dompack "$baseline/src" "$baseline/build" "$baseline/build.log" \
            -DDOMINARCH_NATIVE_TOOLS_ONLY=ON
    fi
    baseline_dompack="$baseline/build/tools/dompack/dompack"
}

make_payload() {
    if [[ -d "$payload" && -f "$payload.stamp" &&
        "$(cat "$payload.stamp")" == "$(python3 "$root/bench/make_bench_payload.py" --stamp)" ]]; then
        step "payload: reusing $payload"
        return
    fi
    step "payload: generating $payload"
    python3 "$root/bench/make_bench_payload.py" "$payload"
}

install_pigz() {
    if ! command -v pigz >/dev/null; then
        step "installing pigz"
        local sudo=()
        ((EUID == 0)) || sudo=(sudo)
        "${sudo[@]}" apt-get install -y pigz >"$work/pigz-install.log" 2>&1 || {
            cat "$work/pigz-install.log" >&2
            exit 1
        }
    fi
}

# fresh OUTPUT: removes the output of the last run of its kind, untimed, and prints its path.
fresh() {
    rm -f "$outputs/$1"
    sync
    echo "$outputs/$1"
}

run_o() { "${measure[@]}" time o "$log" -- "$baseline_dompack" build "$payload" "$(fresh o.pack)"; }
run_1() {
    "${measure[@]}" time 1 "$log" -- env DOMPACK_THREADS=1 "$dompack" build "$payload" \
        "$(fresh 1.pack)"
}
run_n() { "${measure[@]}" time n "$log" -- "$dompack" build "$payload" "$(fresh n.pack)"; }
stub="$root/build/win32/app/SetupBare.exe"
run_s() {
    "${measure[@]}" time s "$log" -- "$dompack" setup "$payload" "$(fresh s.exe)" --stub "$stub"
}
# tar_into COMPRESSOR OUTPUT: the tree in name order through the compressor.
tar_into() {
    "${measure[@]}" time "$1" "$log" -- bash -c \
        'tar --sort=name -cf - -C "$1" . | "$2" -9 >"$3"' tar "$payload" "$2" "$(fresh "$1.gz")"
}
run_g() { tar_into g gzip; }
run_p() { tar_into p pigz; }

check_outputs() {
    if ! cmp -s "$outputs/1.pack" "$outputs/n.pack"; then
        echo "pack_bench: 1 thread and every core wrote different packs" >&2
        exit 1
    fi
    "$dompack" verify "$outputs/n.pack" >>"$log"
}

main() {
    mkdir -p "$work" "$outputs"
    build_tools
    make_payload
    install_pigz
    : >"$log"
    : >"$raw"

    step "warm-up (untimed), and a check of the packs"
    local kind kinds=(o 1 n g p)
    [[ -f "$stub" ]] && kinds+=(s)
    for kind in "${kinds[@]}"; do
        "run_$kind" >/dev/null
    done
    check_outputs
    echo "size pack $(stat -c %s "$outputs/n.pack")" >>"$raw"
    echo "size one-member $(stat -c %s "$outputs/o.pack")" >>"$raw"
    echo "size gzip $(stat -c %s "$outputs/g.gz")" >>"$raw"
    echo "size pigz $(stat -c %s "$outputs/p.gz")" >>"$raw"

    echo "load $(cut -d' ' -f1-3 /proc/loadavg)" >>"$raw"
    local i
    for ((i = 1; i <= runs; i++)); do
        step "run $i of $runs"
        for kind in "${kinds[@]}"; do
            "run_$kind" >>"$raw"
        done
    done
    step "memory of (n)"
    echo "memory $("${measure[@]}" memory "$log" -- "$dompack" build "$payload" \
        "$(fresh n.pack)")" >>"$raw"
    rm -rf "$outputs"
    python3 "$root/bench/pack_summary.py" "$raw" "$baseline_rev" | tee "$work/pack-results.txt"
}

main "$@"
