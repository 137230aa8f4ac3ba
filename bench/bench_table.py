#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Runs the lyrics benchmarks and valgrind's callgrind over a host-release
build and prints one table (scripts/bench does the building).

    bench_table.py BUILD_DIR

Instruction counts: GetLRCFromBuf inclusive, with the plain allocator, over
the 16 songs of the generated corpus; a playback tick: the one timer expiry
that lrc_probe runs in MeasuredTick, split into the program image's own
instructions and the stand-in's (event dispatch, timer, canvas drawing).
"""
import json
import os
import platform
import re
import subprocess
import sys
import tempfile

import library_bench

ENCODINGS = [
    # label, corpus name, probe, speed benchmark, peak benchmark, instructions per byte at most
    ("UTF-8 with mark", "utf8_mark", "lrc_probe_patch", "lrc_bench_lean", "lrc_bench", 12),
    ("UTF-16LE", "utf16le", "lrc_probe_patch", "lrc_bench_lean", "lrc_bench", 8),
    ("UTF-16BE", "utf16be", "lrc_probe_patch", "lrc_bench_lean", "lrc_bench", 8),
    ("GB2312, PATCH", "gb2312", "lrc_probe_patch", "lrc_bench_lean", "lrc_bench_patch", 14),
    ("GB2312, table file", "gb2312", "lrc_probe", "lrc_bench_lean_file", "lrc_bench", None),
]
TICKS = [("blue", "zq_player_blue"), ("colour wheel", "zq_player")]
REPETITIONS = 7


def run(args, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kwargs)


def callgrind(out_file, toggle, args):
    run(["valgrind", "--tool=callgrind", "--collect-atstart=no", "--toggle-collect=" + toggle,
         "--callgrind-out-file=" + out_file] + args)
    return out_file


def totals(out_file):
    with open(out_file) as f:
        for line in f:
            if line.startswith("totals:"):
                return int(line.split()[1])
    raise RuntimeError("no totals in " + out_file)


def self_cost_by_object(out_file):
    """Instructions of the functions of each object file (self cost)."""
    names = {}
    costs = {}
    current = None
    after_call = False

    def name_of(value):
        m = re.match(r"\((\d+)\)(?: (.*))?", value)
        if not m:
            return value
        if m.group(2) is not None:
            names[m.group(1)] = m.group(2)
        return names.get(m.group(1), value)

    with open(out_file) as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("ob="):
                current = name_of(line[3:])
            elif line.startswith("cob="):
                name_of(line[4:])
            elif line.startswith("calls="):
                after_call = True
            elif line and (line[0].isdigit() or line[0] in "+-*"):
                if after_call:
                    after_call = False  # the inclusive cost of a call
                    continue
                costs[current] = costs.get(current, 0) + int(line.split()[-1])
    return costs


def benchmark(binary, repetitions, filt=None):
    args = [binary, "--benchmark_format=json", "--benchmark_min_time=0.2",
            "--benchmark_repetitions=%d" % repetitions, "--benchmark_report_aggregates_only=true"]
    if filt:
        args.append("--benchmark_filter=" + filt)
    rows = {}
    for b in json.loads(run(args).stdout)["benchmarks"]:
        name = b["run_name"].split("/")[-1]
        rows.setdefault(name, {})[b.get("aggregate_name", "")] = b
    return rows


def machine():
    model = platform.processor() or "unknown processor"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    return "%s, %d cores, %s %s" % (model, os.cpu_count() or 0, platform.system(), platform.release())


def main():
    build = os.path.abspath(sys.argv[1])
    bench = os.path.join(build, "bench")
    work = tempfile.mkdtemp(prefix="zq-bench-")
    print("ZQ lyrics player, scripts/bench on %s" % machine())
    print()

    # The lyrics job.
    speed = {}
    for binary in sorted({e[3] for e in ENCODINGS}):
        # The table file's variant differs from the other only for GB2312.
        filt = "gb2312" if binary.endswith("_file") else None
        speed[binary] = benchmark(os.path.join(bench, binary), REPETITIONS, filt)
    peak = {}
    for binary in sorted({e[4] for e in ENCODINGS}):
        peak[binary] = benchmark(os.path.join(bench, binary), 1)
    print("Lyrics job: GetLRCFromBuf, bytes to a sorted record, on 16 generated songs")
    print("(instructions: callgrind, inclusive, plain malloc allocator; speed: median [min-max] of %d runs,"
          % REPETITIONS)
    print(" plain allocator; peak: stand-in allocator, largest song, against buffer + max(table, record))")
    header = "%-20s %7s %6s %10s %6s %6s %7s %18s %8s %15s" % (
        "encoding", "bytes", "lines", "instr", "/byte", "/line", "target", "MB/s", "ns/line", "peak/bound B")
    print(header)
    print("-" * len(header))
    goals = []
    for label, name, probe, speed_bin, peak_bin, target in ENCODINGS:
        out = callgrind(os.path.join(work, "parse-%s-%s.out" % (probe, name)), "GetLRCFromBuf*",
                        [os.path.join(bench, probe), "parse", name])
        facts = run([os.path.join(bench, probe), "parse", name]).stdout.split()
        nbytes, nlines = int(facts[1]), int(facts[3])
        instr = totals(out)
        rows = speed[speed_bin][name]
        rate = [rows[a]["bytes_per_second"] / 1e6 for a in ("median", "min", "max")]
        ns_line = rows["median"]["time_per_line"] * 1e9
        p = peak[peak_bin][name][""]
        print("%-20s %7d %6d %10d %6.2f %6.0f %7s %6.0f [%4.0f-%4.0f] %8.0f %7d/%d" % (
            label, nbytes, nlines, instr, instr / nbytes, instr / nlines, "<= %d" % target if target else "-",
            rate[0], rate[1], rate[2], ns_line, p["peak_bytes"], p["peak_bound"]))
        if target and instr / nbytes > target:
            # The program's code is linked into the probe; the allocator is
            # the C library's.
            costs = self_cost_by_object(out)
            allocator = sum(v for k, v in costs.items() if k and (k.startswith("/usr/lib") or k.startswith("/lib")))
            goals.append("%s misses its goal of %d by %.2f a byte: the allocator takes %.2f, the job's own code %.2f"
                         % (label, target, instr / nbytes - target, allocator / nbytes, (instr - allocator) / nbytes))
    for line in goals:
        print(line)
    print()

    # The playback tick.
    print("Playback tick: one expiry of the 1 s timer with a track and lyrics (callgrind, MeasuredTick;")
    print("canvas calls as the stand-in logs them; instructions of the program image and of the stand-in)")
    header = "%-13s %-16s %6s %12s %10s  %s" % ("theme", "tick", "calls", "instr image", "stand-in", "calls by kind")
    print(header)
    print("-" * len(header))
    for theme, image in TICKS:
        for kind, label in (("same", "same lyric line"), ("new", "new lyric line")):
            probe = os.path.join(bench, "lrc_probe_patch")
            out = callgrind(os.path.join(work, "tick-%s-%s.out" % (image, kind)), "MeasuredTick",
                            [probe, "tick", image, kind])
            calls = run([probe, "tick", image, kind]).stdout.split()
            costs = self_cost_by_object(out)
            # The stand-in loads a copy of the image from a temporary file:
            # the image is the object that is neither the probe, the
            # stand-in's library nor a system library.
            stand_in = [k for k in costs if k and (k == probe or k.endswith("/libzq_sim.so") or
                                                   k.startswith("/usr/lib") or k.startswith("/lib"))]
            rest = sum(costs[k] for k in stand_in)
            in_image = sum(costs.values()) - rest
            kinds = " ".join("%s %s" % (calls[i], calls[i + 1]) for i in range(2, len(calls), 2))
            print("%-13s %-16s %6s %12d %10d  %s" % (theme, label, calls[1], in_image, rest, kinds))
    print()

    # A library of 10,000 tracks.
    library_bench.rows(build, callgrind, totals)
    print()

    # The phone images.
    phone = os.path.join(build, "phone")
    images = sorted(f for f in os.listdir(phone) if f.endswith(".elf")) if os.path.isdir(phone) else []
    if not images:
        print("Phone images: none (arm-none-eabi-gcc is not installed)")
        return
    print("Phone images (arm-none-eabi-size; file: bytes on disk)")
    header = "%-26s %8s %8s %8s %8s" % ("image", "text", "data", "bss", "file")
    print(header)
    print("-" * len(header))
    for image in images:
        path = os.path.join(phone, image)
        size = run(["arm-none-eabi-size", path]).stdout.splitlines()[1].split()
        print("%-26s %8s %8s %8s %8d" % (image, size[0], size[1], size[2], os.path.getsize(path)))
    print()
    import phone_costs
    print(phone_costs.table(phone_costs.measure(build, True)))


if __name__ == "__main__":
    main()
