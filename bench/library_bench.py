# SPDX-License-Identifier: MIT
"""The library rows of scripts/bench: zqlrc scan and zqsim's start on
generated music folders of 1,000 to 10,000 tracks, each with a lyrics file
in its lrc/ folder.

Instructions per track (callgrind, RunScan inclusive) at 1,000 and 4,000
tracks tell whether the scan grows linearly; the wall-clock rows are the
median of three runs on this machine, release build: zqlrc scan of 10,000
tracks, and zqsim --headless with an empty key script (start, first screen,
end) on 10,000 tracks.
"""
import os
import shutil
import statistics
import subprocess
import tempfile
import time

SCAN_COUNTS = (1000, 4000)
LARGE = 10000
RUNS = 3


def make_library(folder, tracks, track_bytes):
    """`tracks` tracks of the same bytes (hard links) and a lyrics file each."""
    os.makedirs(os.path.join(folder, "lrc"), exist_ok=True)
    first = os.path.join(folder, "Track 00000.mp3")
    with open(first, "wb") as f:
        f.write(track_bytes)
    for k in range(tracks):
        name = "Track %05d" % k
        if k:
            os.link(first, os.path.join(folder, name + ".mp3"))
        with open(os.path.join(folder, "lrc", name + ".lrc"), "wb") as f:
            f.write(("\ufeff[ti:%s]\n[00:01.00]第一行 %d\n[00:05.00]the second line\n" % (name, k)).encode("utf-8"))
    return folder


def wall(args):
    times = []
    for _ in range(RUNS):
        start = time.monotonic()
        subprocess.run(args, check=False, capture_output=True)
        times.append(time.monotonic() - start)
    return statistics.median(times)


def scan_instructions(zqlrc, folder, work, callgrind, totals):
    out = callgrind(os.path.join(work, "scan-%s.out" % os.path.basename(folder)), "zqlrc::RunScan*",
                    [zqlrc, "scan", folder])
    return totals(out)


def rows(build, callgrind, totals):
    zqlrc = os.path.join(build, "bin", "zqlrc")
    zqsim = os.path.join(build, "tools", "zqsim", "zqsim")
    demo = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "demo", "01_jingyesi.mp3")
    with open(demo, "rb") as f:
        track = f.read()
    work = tempfile.mkdtemp(prefix="zq-library-")
    try:
        print("Library: zqlrc scan and zqsim's start on generated folders (a lyrics file per track in lrc/)")
        header = "%-40s %8s %14s %12s" % ("run", "tracks", "instr", "instr/track")
        print(header)
        print("-" * len(header))
        for count in SCAN_COUNTS:
            folder = make_library(os.path.join(work, "lib%d" % count), count, b"")
            instr = scan_instructions(zqlrc, folder, work, callgrind, totals)
            print("%-40s %8d %14d %12.0f" % ("zqlrc scan (callgrind, RunScan)", count, instr, instr / count))
        large = make_library(os.path.join(work, "lib%d" % LARGE), LARGE, track)
        script = os.path.join(work, "empty.keys")
        open(script, "w").close()
        print()
        header = "%-40s %8s %14s %12s" % ("run", "tracks", "seconds", "target")
        print(header)
        print("-" * len(header))
        print("%-40s %8d %14.2f %12s" % ("zqlrc scan (wall, median of %d)" % RUNS, LARGE,
                                         wall([zqlrc, "scan", large]), "<= 5"))
        print("%-40s %8d %14.2f %12s" % ("zqsim first screen and end (wall)", LARGE,
                                         wall([zqsim, "--headless", "--script", script, large]), "<= 0.5"))
    finally:
        shutil.rmtree(work, ignore_errors=True)
