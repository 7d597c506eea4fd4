#!/usr/bin/env bash
# Where the time of `dompack extract` goes:  bench/profile_extract.sh
# Needs perf (Debian package linux-perf) with the right to trace (root, or perf_event_paranoid
# low enough) and a payload and pack made by bench/run_bench.sh.
#
# 1. perf sched: per thread (main, control, writer, reader, in the order they are started) the
#    time it ran, the time it slept waiting for the other side, the time it was runnable but
#    not yet running (the latency of being woken), and how often it was switched in.
# 2. perf trace -s: the writer's and the reader's system calls, counted and timed. Tracing slows
#    every call, so these times are larger than in an untraced run; compare them with each other.
# 3. perf record: the share of the process's CPU time per program part (zlib, kernel, ...).
#
# Each run writes into a folder of its own under build/bench/profile (removed at the end; see
# run_bench.sh for why a removal just before a run distorts it).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="$root/build/bench"
dompack="$root/build/bench-build/tools/dompack/dompack"
pack="$work/bench.pack"
folder="$work/profile"
data="$(mktemp -d)"
# The removal is stamped like run_bench.sh's own, so that a benchmark started soon after waits.
trap 'rm -rf "$data" "$folder"; date +%s >"$work/targets-removed"' EXIT

if [[ ! -x "$dompack" || ! -f "$pack" ]]; then
    echo "profile_extract: run bench/run_bench.sh first (it builds dompack and the pack)" >&2
    exit 2
fi
mkdir -p "$folder"

echo "== scheduling, per thread (ms)"
mkdir "$folder/sched"
sync
perf sched record -o "$data/sched.data" "$dompack" extract "$pack" "$folder/sched" \
    >/dev/null 2>"$data/sched.log"
perf sched timehist -i "$data/sched.data" 2>/dev/null |
    awk '$3 ~ /^dompack\[/ {
            tid = $3; sub(/^dompack\[/, "", tid); sub(/[\/\]].*/, "", tid)
            if (!(tid in runs)) order[++n] = tid
            wait[tid] += $4; delay[tid] += $5; run[tid] += $6; runs[tid]++
        }
        END {
            split("main control writer reader", role, " ")
            printf "%-8s %10s %10s %12s %10s\n", "thread", "ran", "slept", "woken-late", "switches"
            # sort the thread ids: they are started in this order
            for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++)
                if (order[j] + 0 < order[i] + 0) { t = order[i]; order[i] = order[j]; order[j] = t }
            for (i = 1; i <= n; i++) {
                tid = order[i]
                printf "%-8s %10.1f %10.1f %12.1f %10d\n", (i <= 4 ? role[i] : tid), run[tid],
                       wait[tid], delay[tid], runs[tid]
            }
        }'

echo
echo "== system calls of the writer and the reader (traced, so slower than untraced)"
mkdir "$folder/trace"
sync
perf trace -s -o "$data/trace.txt" "$dompack" extract "$pack" "$folder/trace" >/dev/null 2>&1
awk '/^ dompack \(/ { block++ } block >= 3 && NF > 0' "$data/trace.txt"

echo
echo "== CPU time by part of the program"
mkdir "$folder/record"
sync
perf record -q -o "$data/record.data" "$dompack" extract "$pack" "$folder/record" \
    >/dev/null 2>&1
perf report -i "$data/record.data" --sort dso --stdio 2>/dev/null | grep '%' | head -8
echo
perf report -i "$data/record.data" --sort sym --stdio 2>/dev/null | grep '%' | head -15
