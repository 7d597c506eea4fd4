#!/usr/bin/env python3
"""The table of bench/pack_bench.sh (python3 standard library only).

pack_summary.py RAW BASELINE_REV
    RAW holds the lines the script collected: "LABEL WALL CPU" for each timed run (o, 1, n, g,
    p), "size NAME BYTES", "load ..." and "memory ANON_PEAK_KIB HWM_KIB FILE_KIB THREADS".
"""
import os
import platform
import statistics
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from measure import cpu_model, paired  # noqa: E402

NAMES = {
    "o": "(o) dompack build, one member (baseline)",
    "1": "(1) dompack build, DOMPACK_THREADS=1",
    "n": "(n) dompack build, every core",
    "g": "(g) tar | gzip -9",
    "p": "(p) tar | pigz -9",
    "s": "(s) dompack setup, every core",
}


def read_raw(path):
    times, sizes, memory, load = {}, {}, None, "unknown"
    with open(path) as lines:
        for line in lines:
            words = line.split()
            if not words:
                continue
            if words[0] == "size":
                sizes[words[1]] = int(words[2])
            elif words[0] == "memory":
                memory = [int(w) for w in words[1:]]
            elif words[0] == "load":
                load = " ".join(words[1:])
            elif len(words) == 3:
                times.setdefault(words[0], []).append((float(words[1]), float(words[2])))
    return times, sizes, memory, load


def time_rows(times):
    rows = [f"{'':44}{'wall s':>9}{'cpu s':>9}{'min..max wall':>17}"]
    for key, name in NAMES.items():
        if key in times:
            walls = [w for w, _ in times[key]]
            cpu = statistics.median(c for _, c in times[key])
            rows.append(f"{name:44}{statistics.median(walls):9.3f}{cpu:9.3f}"
                        f"{min(walls):8.3f}..{max(walls):.3f}")
    return rows


def goal_rows(times, sizes):
    rows = [f"{'goal (wall-time ratios run by run)':44}{'median':>8}{'worst':>8}  target"]

    def row(label, values, limit):
        if values:
            middle, worst = statistics.median(values), max(values)
            verdict = "met" if middle <= limit else "MISSED"
            rows.append(f"{label:44}{middle:8.3f}{worst:8.3f}  <= {limit:.2f}  {verdict}")

    row("every core / one-member build today (n/o)", paired(times, "n", "o")[0], 0.6)
    row("every core / gzip -9 (n/g)", paired(times, "n", "g")[0], 0.6)
    row("every core / pigz -9 (n/p)", paired(times, "n", "p")[0], 1.2)
    row("dompack setup / dompack build (s/n)", paired(times, "s", "n")[0], 1.1)
    walls = paired(times, "n", "1")[0]
    if walls:
        rows.append(f"{'  every core / DOMPACK_THREADS=1 (n/1)':44}{statistics.median(walls):8.3f}"
                    f"{max(walls):8.3f}  no target")
    walls = paired(times, "1", "o")[0]
    if walls:
        rows.append(f"{'  DOMPACK_THREADS=1 / one-member build (1/o)':44}"
                    f"{statistics.median(walls):8.3f}{max(walls):8.3f}  no target")
    if "pack" in sizes and "gzip" in sizes:
        ratio = sizes["pack"] / sizes["gzip"]
        verdict = "met" if ratio <= 1.01 else "MISSED"
        rows.append(f"{'pack size / gzip -9 size':44}{ratio:8.4f}{'':8}  <= 1.01  {verdict}")
    if "pack" in sizes and "one-member" in sizes:
        ratio = sizes["pack"] / sizes["one-member"]
        verdict = "met" if ratio <= 1.01 else "MISSED"
        rows.append(f"{'pack size / one-member pack size':44}{ratio:8.4f}{'':8}  <= 1.01  {verdict}")
    return rows


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    times, sizes, memory, load = read_raw(sys.argv[1])
    runs = min((len(v) for v in times.values()), default=0)
    lines = [f"Packing benchmark: median of {runs} runs each, interleaved o, 1, n, g, p; warm page "
             "cache (one warm-up run of each first)",
             f"baseline: the dompack of {sys.argv[2]}; every core: {os.cpu_count()} worker threads",
             "", *time_rows(times),
             "wall s: start to end; cpu s: user + system time, the pipeline's children included",
             "", *goal_rows(times, sizes), ""]
    names = {"pack": "pack (every core)", "one-member": "one-member pack (baseline)",
             "gzip": "tar | gzip -9", "pigz": "tar | pigz -9"}
    lines += [f"{names[k] + ' bytes':44}{v:>14,}" for k, v in sizes.items() if k in names]
    if memory:
        anon, hwm, file_backed, threads = memory
        lines.append(f"memory of (n): anonymous peak {anon / 1024:.1f} MiB (sampled), peak RSS "
                     f"{hwm / 1024:.1f} MiB of it file-backed {file_backed / 1024:.1f} MiB; "
                     f"{threads} threads")
    lines += ["", f"machine: nproc {os.cpu_count()}, {cpu_model()}, kernel {platform.release()}",
              f"load average at the start: {load}; at the end: "
              f"{' '.join(f'{x:.2f}' for x in os.getloadavg())}"]
    print("\n".join(lines))


if __name__ == "__main__":
    main()
