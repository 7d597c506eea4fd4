#!/usr/bin/env python3
"""Measurements for bench/run_bench.sh (python3 standard library only).

measure.py time LABEL LOG -- COMMAND...
    Runs COMMAND once, its output into LOG, and prints one line "LABEL WALL CPU": the wall time
    from just before the start to the end, and the user plus system time of COMMAND and of the
    children it waited for (tar's gzip, say), in seconds. Fails when COMMAND fails.

measure.py memory LOG -- COMMAND...
    Runs COMMAND once and prints "ANON_PEAK_KIB HWM_KIB FILE_KIB THREADS": the peak of its
    anonymous memory, its peak resident set, the file-backed part of that set, and the most
    threads seen.

    Why anonymous memory: a mapped pack counts in the resident set as soon as its pages are
    touched, and a reader that decompresses the whole pack touches all of it; so do the mapped
    program and libraries. What the extraction itself costs is everything else: heap, thread
    stacks, buffers, i.e. the anonymous (and shared-memory) pages. The kernel keeps no peak of
    those, so /proc/PID/status is sampled about every half millisecond and the largest
    RssAnon + RssShmem seen is the figure; samples are taken only once COMMAND has replaced the
    forked child. As a cross-check, HWM (VmHWM, the kernel's own peak of the whole set) minus
    FILE (the largest RssFile seen, reached once the whole pack has been touched; it falls again
    only when the pack is unmapped at the end) should come out close to it.

measure.py summary RAW PACK TARGZ FOLDER
    Prints the table of results from the lines collected in RAW: the load average at the start
    ("load ..."), the output of "time" and of "memory" (after the word "memory").
"""
import os
import platform
import statistics
import subprocess
import sys
import time


def split_command(arguments):
    if "--" not in arguments:
        sys.exit(__doc__)
    at = arguments.index("--")
    return arguments[:at], arguments[at + 1:]


def run_timed(label, log, command):
    with open(log, "ab") as out:
        start = time.perf_counter()
        child = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=out, stderr=out)
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        sys.exit(f"measure: {command[0]} failed ({child.returncode}); see {log}")
    print(f"{label} {wall:.4f} {usage.ru_utime + usage.ru_stime:.4f}")


def read_status(pid):
    fields = {}
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                key, _, value = line.partition(":")
                fields[key] = value.split()[0] if value.split() else ""
    except OSError:
        pass
    return fields


def sample_memory(log, command):
    program = os.path.realpath(command[0])
    anon_peak = hwm = file_backed = threads = 0
    with open(log, "ab") as out:
        child = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=out, stderr=out)
        while child.poll() is None:
            try:
                running = os.readlink(f"/proc/{child.pid}/exe")
            except OSError:
                running = ""
            fields = read_status(child.pid)
            if running == program and "RssAnon" in fields:
                anon_peak = max(anon_peak, int(fields["RssAnon"]) + int(fields["RssShmem"]))
                hwm = max(hwm, int(fields["VmHWM"]))
                file_backed = max(file_backed, int(fields["RssFile"]))
                threads = max(threads, int(fields["Threads"]))
            time.sleep(0.0005)
    if child.returncode != 0:
        sys.exit(f"measure: {command[0]} failed ({child.returncode}); see {log}")
    if hwm == 0:
        sys.exit(f"measure: {command[0]} ended before it could be sampled")
    print(f"{anon_peak} {hwm} {file_backed} {threads}")


def cpu_model():
    with open("/proc/cpuinfo") as info:
        for line in info:
            if line.startswith("model name"):
                return line.split(":", 1)[1].strip()
    return platform.processor() or "unknown"


def file_system(folder):
    lines = subprocess.run(["df", "--output=fstype,source", folder], capture_output=True,
                           text=True).stdout.splitlines()
    return " on ".join(lines[1].split()) if len(lines) > 1 else "unknown"


def paired(times, top, bottom):
    """The ratios of the i-th run of `top` to the i-th of `bottom`: wall times and cpu times."""
    pairs = list(zip(times.get(top, []), times.get(bottom, [])))
    walls = [t[0] / b[0] for t, b in pairs if b[0] > 0]
    cpus = [t[1] / b[1] for t, b in pairs if b[1] > 0]
    return walls, cpus


def goals(times):
    """The performance goals, each a ratio taken run by run within one run of the script."""
    rows = [f"{'goal (ratios run by run)':52}{'median':>8}{'worst':>8}  target   figures compared"]

    def row(label, values, limit, worst_limit, compared):
        if not values:
            return
        middle, worst = statistics.median(values), max(values)
        ok = middle <= limit and (worst_limit is None or worst <= worst_limit)
        target = f"<= {limit:.2f}" + (f", worst <= {worst_limit:.1f}" if worst_limit else "")
        rows.append(f"{label:52}{middle:8.3f}{worst:8.3f}  {target:22} {'met' if ok else 'MISSED'}"
                    f"  ({compared})")

    def seconds(key):
        values = [w for w, _ in times.get(key, [])]
        return f"median {statistics.median(values):.3f} s" if values else "none"

    walls, cpus = paired(times, "b", "a")
    row("native, quiet: extract / discard, wall", walls, 1.10, 1.4,
        f"b {seconds('b')}, a {seconds('a')}")
    row("native, quiet: extract / discard, cpu", cpus, 1.25, None, "user + system time")
    sums = [(a[1] + w[1]) / a[1] for a, w in zip(times.get("a", []), times.get("w", []))
            if a[1] > 0]
    if sums:
        rows.append(f"{'  decompression and writing alone, (a + w) / a':52}"
                    f"{statistics.median(sums):8.3f}{max(sums):8.3f}  "
                    "what the two halves cost with no hand-over at all")
    walls, _ = paired(times, "B", "A")
    row("native, one busy process: extract / discard, wall", walls, 1.3, None,
        f"B {seconds('B')}, A {seconds('A')}")
    walls, _ = paired(times, "wi", "wd")
    row("wine: Setup.exe first install / memgz discard", walls, 1.2, None,
        f"install {seconds('wi')}, discard {seconds('wd')}")
    walls, _ = paired(times, "ww", "wd")
    if walls:
        rows.append(f"{'  writing the tree alone / memgz discard':52}"
                    f"{statistics.median(walls):8.3f}{max(walls):8.3f}  "
                    f"no install can take less (write {seconds('ww')})")
    walls, _ = paired(times, "wu", "wx")
    row("wine: uninstall / plain recursive delete", walls, 1.5, None,
        f"uninstall {seconds('wu')}, delete {seconds('wx')}")
    for top, bottom, label in (("Wi", "Wd", "first install / discard"),
                               ("Wu", "Wx", "uninstall / plain delete")):
        walls, _ = paired(times, top, bottom)
        if walls:
            rows.append(f"{'wine, one busy process: ' + label:52}"
                        f"{statistics.median(walls):8.3f}{max(walls):8.3f}  "
                        f"no target  ({seconds(top)} against {seconds(bottom)})")
    return rows


def summary(raw, pack, targz, folder):
    times = {}
    memory = None
    load_at_start = "unknown"
    with open(raw) as lines:
        for line in lines:
            words = line.split()
            if words and words[0] == "memory":
                memory = [int(w) for w in words[1:]]
            elif words and words[0] == "load":
                load_at_start = " ".join(words[1:])
            elif len(words) == 3:
                times.setdefault(words[0], []).append((float(words[1]), float(words[2])))
    median = {k: (statistics.median(w for w, _ in v), statistics.median(c for _, c in v))
              for k, v in times.items()}
    runs = min(len(times[k]) for k in ("a", "b", "c") if k in times)
    names = {"a": "(a) memgz discard read of the pack", "b": "(b) dompack extract",
             "c": "(c) tar -xzf of the tar.gz", "w": "(w) writing the tree alone, from memory"}
    lines = [
        f"Extraction benchmark: median of {runs} runs each, interleaved a, b, c; "
        "warm page cache (one warm-up run of each first; caches are not dropped)",
        f"pack {os.path.getsize(pack):,} bytes (gzip -9); tar.gz {os.path.getsize(targz):,} bytes "
        "(gzip default -6)",
        "",
        f"{'':38}{'wall s':>9}{'cpu s':>9}{'min..max wall':>17}",
    ]
    for key in ("a", "b", "c", "w"):
        if key not in times:
            continue
        walls = [w for w, _ in times[key]]
        lines.append(f"{names[key]:38}{median[key][0]:9.3f}{median[key][1]:9.3f}"
                     f"{min(walls):8.3f}..{max(walls):.3f}")
    lines.append("wall s: start to end; cpu s: user + system time of the program and of the children "
                 "it waited for (tar's gzip); (w): of its writing only")
    lines.append("")

    def ratio(label, top, bottom, limit):
        if top in median and bottom in median:
            wall = median[top][0] / median[bottom][0]
            cpu = median[top][1] / median[bottom][1]
            verdict = "met" if wall <= limit else "MISSED"
            lines.append(f"{label:38}{wall:9.3f}{cpu:9.3f}   target <= {limit:.2f} (wall): "
                         f"{verdict}")

    ratio("(b)/(c)", "b", "c", 0.85)
    lines.append("")
    lines += goals(times)
    lines.append("")
    if memory:
        anon, hwm, file_backed, threads = memory
        verdict = "met" if anon <= 4096 else "MISSED"
        lines.append(f"{'memory of (b) beyond the mapped pack':38}{anon / 1024:9.2f} MiB   "
                     f"target <= 4 MiB: {verdict}")
        lines.append(f"  anonymous peak (RssAnon+RssShmem, sampled); peak RSS {hwm / 1024:.1f} MiB, "
                     f"of it file-backed {file_backed / 1024:.1f} MiB (pack and program),")
        lines.append(f"  so at most {(hwm - file_backed) / 1024:.2f} MiB beyond them; "
                     f"{threads} threads at most")
    lines += [
        "",
        f"machine: nproc {os.cpu_count()}, {cpu_model()}, kernel {platform.release()}, "
        f"target folder on {file_system(folder)}",
        f"load average at the start: {load_at_start}; at the end: "
        f"{' '.join(f'{x:.2f}' for x in os.getloadavg())} (2 cores: a load above 1 takes the second "
        "core from the pipeline's threads; cpu s is less sensitive to it than wall s)",
    ]
    print("\n".join(lines))


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    mode, rest = sys.argv[1], sys.argv[2:]
    if mode == "time":
        options, command = split_command(rest)
        if len(options) != 2 or not command:
            sys.exit(__doc__)
        run_timed(options[0], options[1], command)
    elif mode == "memory":
        options, command = split_command(rest)
        if len(options) != 1 or not command:
            sys.exit(__doc__)
        sample_memory(options[0], command)
    elif mode == "summary" and len(rest) == 4:
        summary(*rest)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
