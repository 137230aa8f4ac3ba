# SPDX-License-Identifier: MIT
"""What the player costs the phone, per phone image: text and data, the
worst-case stack of the firmware's entries (bench/stack_depth.py), the heap
peak and the ARM instructions of the cost steps (bench/cost_steps.h) counted
in the big-endian box by bench/arm_count_plugin.cpp; beside them, with
--host, the x86-64 instructions of the same steps in the host images under
callgrind.

  phone_costs.py BUILD_DIR [--host] [--json]      # the table, or its figures
  phone_costs.py BUILD_DIR --check BUDGET_FILE    # fails on > 5 % over budget
"""
import argparse
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCES = os.path.dirname(HERE)
sys.path.insert(0, HERE)
import stack_depth  # noqa: E402

ENCODINGS = [("UTF-8 with mark", "utf8_mark"), ("UTF-16LE", "utf16le"), ("UTF-16BE", "utf16be"),
             ("GB2312", "gb2312")]
SONGS = 16
ITEMS = [(1, "start to first screen"), (2, "tick, same line"), (3, "tick, new line"),
         (4, "track change to its first line"), (5, "hide"), (6, "show")]
PARSE = 7
CHANGES = 50  # track changes of the long run after the steps
X86_GOALS = {"utf8_mark": 12, "utf16le": 8, "utf16be": 8, "gb2312": 14}
GROWTH = 0.05
HZ = 100e6


def run(args, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kwargs)


def prepare(build, work):
    """The folder the steps play and the song corpus, in `work`."""
    audio = os.path.join(work, "root", "mobile", "audio")
    os.makedirs(os.path.join(audio, "lrc"))
    for name in ("a", "b"):
        with open(os.path.join(audio, name + ".mp3"), "w") as f:
            f.write("not really audio")
    with open(os.path.join(audio, "lrc", "a.lrc"), "wb") as f:
        f.write("\ufeff[ti:静夜思]\n[00:10.00]床前明月光，疑是地上霜。\n[00:20.00]举头望明月，低头思故乡。\n"
                "[00:30.00]Moonlight before my bed\n".encode("utf-8"))
    with open(os.path.join(audio, "lrc", "b.lrc"), "wb") as f:
        f.write("[00:01.00]春眠不觉晓\n[00:05.00]处处闻啼鸟\n".encode("utf-8"))
    songs = os.path.join(work, "songs")
    os.makedirs(songs)
    run([os.path.join(build, "bench", "lrc_probe"), "songs", songs])
    return os.path.join(work, "root"), [[os.path.join(songs, "%s_%d.lrc" % (name, seed))
                                         for seed in range(1, SONGS + 1)] for _, name in ENCODINGS]


def offsets(readelf, image):
    """GetLRCFromBuf's and DESTROY_LRC's offsets from Lib, from the symbol table."""
    found = {}
    for line in run([readelf, "-sW", image]).stdout.splitlines():
        f = line.split()
        if len(f) >= 8 and f[7] in ("Lib", "_Z13GetLRCFromBufPKhtPh", "_Z11DESTROY_LRCPP3LRC"):
            found[f[7]] = int(f[1], 16)
    return found["_Z13GetLRCFromBufPKhtPh"] - found["Lib"], found["_Z11DESTROY_LRCPP3LRC"] - found["Lib"]


def pairs(marks):
    """Per tag, the counts between each pair of its marks, in order."""
    open_at, out = {}, {}
    for tag, counts in marks:
        if tag in open_at:
            before = open_at.pop(tag)
            out.setdefault(tag, []).append(tuple(a - b for a, b in zip(counts, before)))
        else:
            open_at[tag] = counts
    return out


def parse_counts(items, song_lists):
    """Per encoding (image, stand-in, bytes) summed over its songs."""
    per_song = items.get(PARSE, [])
    result, k = {}, 0
    for (_, name), songs in zip(ENCODINGS, song_lists):
        nbytes = sum(os.path.getsize(s) for s in songs)
        image = sum(c[0] for c in per_song[k:k + len(songs)])
        stand_in = sum(c[1] for c in per_song[k:k + len(songs)])
        result[name] = {"image": image, "stand_in": stand_in, "bytes": nbytes}
        k += len(songs)
    return result


def arm(build, image, root, song_lists, readelf):
    """The ARM figures of one phone image in the box."""
    plugin = os.path.join(build, "bench", "libarm_count_plugin.so")
    probe = os.path.join(build, "box", "box_cost_probe.elf")
    gb2uc = os.path.join(build, "gb2uc.map")
    parse_at, destroy_at = offsets(readelf, image)
    with tempfile.NamedTemporaryFile(mode="r", suffix=".counts") as counts:
        out = run(["qemu-armeb", "-cpu", "arm926", "-plugin", "%s,out=%s" % (plugin, counts.name), probe, image,
                   root, gb2uc, str(parse_at), str(destroy_at), str(CHANGES)] + sum(song_lists, [])).stdout
        marks = [(int(f[1]), (int(f[2]), int(f[3]))) for f in (l.split() for l in counts.read().splitlines())
                 if f[0] == "mark"]
    heap = re.search(r"heap (\d+) (\d+)", out)
    items = pairs(marks)
    return {"items": {str(tag): items[tag][0] for tag, _ in ITEMS}, "parse": parse_counts(items, song_lists),
            "heap_bytes": int(heap.group(1)), "heap_blocks": int(heap.group(2))}


def host(build, cfg, root, song_lists):
    """The x86-64 figures of the host image of the same build, under callgrind."""
    image = os.path.join(build, "images", cfg + ".so")
    probe = os.path.join(build, "bench", "lrc_probe")
    parse_at, destroy_at = offsets("readelf", image)
    work = tempfile.mkdtemp(prefix="zq-host-steps-")
    out = os.path.join(work, "steps.out")
    run(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out, probe, "steps", cfg, root, str(parse_at),
         str(destroy_at)] + sum(song_lists, []))
    import bench_table
    marks = []
    for dump in sorted(glob.glob(out + ".*"), key=lambda p: int(p.rsplit(".", 1)[1])):
        text = open(dump).read()
        m = re.search(r"^desc: Trigger: Client Request: (before|after) (\d+)", text, re.M)
        if not m:
            continue
        costs = bench_table.self_cost_by_object(dump)
        stand_in = sum(v for k, v in costs.items() if k and (k == probe or k.endswith("/libzq_sim.so") or
                                                             k.startswith("/usr/lib") or k.startswith("/lib")))
        marks.append((m.group(1), int(m.group(2)), sum(costs.values()) - stand_in, stand_in))
    shutil.rmtree(work)
    items = {}
    for when, tag, in_image, stand_in in marks:
        if when == "after":  # the dump at the second mark holds the item alone
            items.setdefault(tag, []).append((in_image, stand_in))
    return {"items": {str(tag): items[tag][0] for tag, _ in ITEMS}, "parse": parse_counts(items, song_lists)}


def measure(build, with_host):
    phone = os.path.join(build, "phone")
    readelf = shutil.which("arm-none-eabi-readelf")
    images = sorted(glob.glob(os.path.join(phone, "*.elf")))
    if not images or not readelf or not shutil.which("qemu-armeb"):
        sys.exit("phone_costs: needs the phone images, arm-none-eabi-readelf and qemu-armeb")
    work = tempfile.mkdtemp(prefix="zq-phone-costs-")
    try:
        root, song_lists = prepare(build, work)
        result = {}
        for image in images:
            cfg = os.path.basename(image)[:-4]
            size = run(["arm-none-eabi-size", image]).stdout.splitlines()[1].split()
            stack = stack_depth.analyse(os.path.join(phone, cfg), SOURCES,
                                        os.path.join(SOURCES, "platform", "services.txt"))
            figures = {"text": int(size[0]), "data": int(size[1]), "stack": stack["worst"]["bytes"],
                       "stack_path": stack["worst"]["path"], "stack_entry": stack["worst"]["entry"],
                       "unbounded": stack["unbounded"]}
            figures.update(arm(build, image, root, song_lists, readelf))
            if with_host:
                figures["x86"] = host(build, cfg, root, song_lists)
            result[cfg] = figures
        return result
    finally:
        shutil.rmtree(work)


def per_byte(parse, name):
    return parse[name]["image"] / parse[name]["bytes"]


def budget_figures(figures):
    """The figures the budget holds, by name."""
    out = {"text+data": figures["text"] + figures["data"], "stack": figures["stack"],
           "heap_bytes": figures["heap_bytes"]}
    for _, name in ENCODINGS:
        out["arm_per_byte_" + name] = round(per_byte(figures["parse"], name), 3)
    return out


def check(result, budget_file):
    budget = json.load(open(budget_file))
    failures = []
    for cfg, figures in sorted(result.items()):
        now = budget_figures(figures)
        for key, value in sorted(now.items()):
            limit = budget.get(cfg, {}).get(key)
            if limit is None:
                failures.append("%s: %s = %s has no budget" % (cfg, key, value))
            elif value > limit * (1 + GROWTH):
                failures.append("%s: %s = %s, more than 5 %% over its budget of %s" % (cfg, key, value, limit))
            else:
                print("%s: %s = %s (budget %s)" % (cfg, key, value, limit))
    for f in failures:
        print("OVER BUDGET " + f)
    if failures:
        print("A change that needs more updates %s in the same commit (phone_costs.py --json prints the figures)."
              % os.path.relpath(budget_file, SOURCES))
    return 1 if failures else 0


def table(result):
    out = []
    w = out.append
    w("What the player costs the phone: the phone images (ARMv5TE, big-endian) in the box under qemu-armeb")
    w("-cpu arm926; instructions counted by bench/arm_count_plugin.cpp, the image's own apart from the stand-in's;")
    w("x86: the host image of the same build under callgrind. Time at 100 MHz and one instruction a cycle, a lower")
    w("bound (an ARM926 needs more than one cycle for loads, stores, branches and multiplies).")
    w("")
    w("%-22s %6s %6s %7s %9s %9s  %s" % ("image", "text", "data", "stack", "heap B", "blocks", "deepest stack path"))
    for cfg, f in sorted(result.items()):
        w("%-22s %6d %6d %7d %9d %9d  %s" % (cfg, f["text"], f["data"], f["stack"], f["heap_bytes"], f["heap_blocks"],
                                            f["stack_entry"] + ": " + " > ".join(f["stack_path"])))
    unbounded = sorted({u for f in result.values() for u in f["unbounded"]})
    w("calls the stack analysis cannot bound: " + ("; ".join(unbounded) if unbounded else "none"))
    w("")
    header = "%-22s %-32s %10s %10s %9s %10s %10s" % ("image", "item", "ARM image", "stand-in", "us@100MHz",
                                                       "x86 image", "stand-in")
    w(header)
    w("-" * len(header))
    for cfg, f in sorted(result.items()):
        x86 = f.get("x86")
        for tag, label in ITEMS:
            a = f["items"][str(tag)]
            h = x86["items"][str(tag)] if x86 else ("-", "-")
            w("%-22s %-32s %10d %10d %9.1f %10s %10s" % (cfg, label, a[0], a[1], a[0] / HZ * 1e6, h[0], h[1]))
        for label, name in ENCODINGS:
            p = f["parse"][name]
            hx = "%.2f" % per_byte(x86["parse"], name) if x86 else "-"
            hs = "%.2f" % (x86["parse"][name]["stand_in"] / p["bytes"]) if x86 else "-"
            w("%-22s %-32s %10.2f %10.2f %9.1f %10s %10s" % (
                cfg, "lyrics job /byte, " + label, per_byte(f["parse"], name), p["stand_in"] / p["bytes"],
                p["image"] / HZ * 1e6 / SONGS, hx, hs))
    w("(lyrics job: GetLRCFromBuf in the image on bench/'s %d songs, instructions per input byte; the time is per"
      % SONGS)
    w(" song; the stand-in's part is its allocator and string services, in the box the checking allocator, on the")
    w(" host the plain one)")
    if any("x86" in f for f in result.values()):
        w("")
        w("x86 goals of the lyrics job (instructions per byte, image's own here; the README's first table counts it")
        w("inclusive of the allocator):")
        for cfg, f in sorted(result.items()):
            if "x86" not in f:
                continue
            parts = []
            for label, name in ENCODINGS:
                v = per_byte(f["x86"]["parse"], name)
                goal = X86_GOALS[name]
                parts.append("%s %.2f (goal %d, %s)" % (label, v, goal, "met" if v <= goal else
                                                        "missed by %.2f" % (v - goal)))
            w("  %s: %s" % (cfg, "; ".join(parts)))
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build")
    parser.add_argument("--host", action="store_true", help="also the host images under callgrind")
    parser.add_argument("--json", action="store_true")
    parser.add_argument("--check", metavar="BUDGET_FILE")
    args = parser.parse_args()
    result = measure(os.path.abspath(args.build), args.host)
    if args.check:
        sys.exit(check(result, args.check))
    if args.json:
        print(json.dumps({cfg: budget_figures(f) for cfg, f in result.items()}, indent=1, sort_keys=True))
        return
    print(table(result))


if __name__ == "__main__":
    main()
