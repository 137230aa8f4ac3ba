# SPDX-License-Identifier: MIT
"""Random key scripts, alike in both byte orders: a seeded script of random
steps (every phone key in every context, taps, holds, presses and releases,
waits, calls, the keypad lock, hiding and showing, the idle screen and another
application in front, failed allocations, screenshots) runs with zqsim --headless on a
host image and with zqbox on the phone image of the same build; their
standard output, notes and exit status must be identical. A difference
prints the seed and the first line that differs.

  random_parity.py --zqsim ZQSIM --zqbox ZQBOX --folder DIR --image NAME
                   [--seed S] [--seeds N] [--steps M] [--keep DIR]
"""
import argparse
import os
import random
import subprocess
import sys
import tempfile

# Every key the player or the shell takes in some context, and one it takes
# in none.
KEYS = [0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0F, 0x15, 0x17, 0x18,
        0x2C, 0x2D, 0x2E, 0x2F, 0x33]
EXIT_KEYS = [0x0E, 0x11]
HELD_KEYS = [0x0A, 0x2E, 0x2F, 0x04, 0x06]


def make_script(seed, steps):
    """The script of `seed`: `steps` steps, the last an exit key."""
    rng = random.Random(seed)
    lines = ["# random parity, seed %d, %d steps" % (seed, steps)]
    state = {"lock": False, "call": False}
    for _ in range(steps - 1):
        r = rng.random()
        if r < 0.40:
            key = rng.choice(KEYS)
            # The play mode key comes three at a time, back to the same mode,
            # so that single mode does not end the run at a track's end.
            lines += ["tap 0x%02X" % key] * (3 if key == 0x0B else 1)
        elif r < 0.50:
            lines.append("hold 0x%02X %d" % (rng.choice(HELD_KEYS), rng.choice([300, 1200, 2500])))
        elif r < 0.55:
            key = rng.choice(KEYS)
            lines += ["press 0x%02X" % key, "wait %d" % rng.randrange(0, 1500), "release 0x%02X" % key]
        elif r < 0.85:
            lines.append("wait %d" % rng.choice([rng.randrange(1, 200), rng.randrange(200, 2000), 4000]))
        elif r < 0.89:
            state["lock"] = not state["lock"]
            lines.append("lock " + ("on" if state["lock"] else "off"))
        elif r < 0.92:
            state["call"] = not state["call"]
            lines.append("call " + ("on" if state["call"] else "off"))
        elif r < 0.96:
            lines.append("front " + rng.choice(["idle", "other"]))
        elif r < 0.97:
            lines.append("shot s%d" % len(lines))
        else:
            lines.append("fail alloc %d" % rng.randrange(1, 6))
    lines += ["lock off", "call off", "tap 0x%02X" % rng.choice(EXIT_KEYS)]
    return "\n".join(lines) + "\n"


def run(tool, image, folder, script, shots):
    p = subprocess.run([tool, "--headless", "--image", image, "--shots", shots, "--script", script, folder],
                       capture_output=True)
    return p.stdout.decode("utf-8", "replace"), p.stderr.decode("utf-8", "replace"), p.returncode


def first_difference(host, box):
    a, b = host.splitlines(), box.splitlines()
    for i in range(max(len(a), len(b))):
        x = a[i] if i < len(a) else "(nothing)"
        y = b[i] if i < len(b) else "(nothing)"
        if x != y:
            return i + 1, x, y
    return None


def check(args, seed, work):
    script = os.path.join(work, "seed-%d.script" % seed)
    with open(script, "w") as f:
        f.write(make_script(seed, args.steps))
    shots = os.path.join(work, "seed-%d-%s-" % (seed, args.image))
    host_out, host_err, host_rc = run(args.zqsim, args.image, args.folder, script, shots + "host")
    box_out, box_err, box_rc = run(args.zqbox, args.image, args.folder, script, shots + "box")
    host_all = host_out + host_err.replace("zqsim: ", "NOTE: ") + "exit %d\n" % host_rc
    box_all = box_out + box_err.replace("zqbox: ", "NOTE: ") + "exit %d\n" % box_rc
    if host_rc not in (0, 1):
        print("seed %d: zqsim refused the script (exit %d): %s" % (seed, host_rc, host_err.strip()))
        return False
    diff = first_difference(host_all, box_all)
    if diff is None:
        print("seed %d (%s): zqsim and zqbox agree on %d lines" % (seed, args.image, host_out.count("\n")))
        return True
    line, x, y = diff
    print("seed %d (%s): the first difference is line %d of the output" % (seed, args.image, line))
    print("  zqsim: %s" % x)
    print("  zqbox: %s" % y)
    print("  script: %s" % script)
    return False


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--zqsim", required=True)
    parser.add_argument("--zqbox", required=True)
    parser.add_argument("--folder", required=True)
    parser.add_argument("--image", required=True)
    parser.add_argument("--seed", type=int, default=1, help="the first seed")
    parser.add_argument("--seeds", type=int, default=1)
    parser.add_argument("--steps", type=int, default=2000)
    parser.add_argument("--keep", help="folder for the scripts (default: a temporary one)")
    args = parser.parse_args()
    work = args.keep or tempfile.mkdtemp(prefix="zq-random-parity-")
    os.makedirs(work, exist_ok=True)
    failed = [s for s in range(args.seed, args.seed + args.seeds) if not check(args, s, work)]
    if failed:
        print("seeds that differ: " + " ".join(map(str, failed)))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
