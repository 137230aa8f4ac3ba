# SPDX-License-Identifier: MIT
"""Worst-case stack of every routine the firmware calls in a phone image.

Reads what arm-none-eabi-gcc wrote beside each object of the image
(-fstack-usage frames in the call graph of -fcallgraph-info=su) and follows
the calls from each entry: the start routine Lib, the applications' start
routines, every state's entry and exit, every event handler of the state
tables (the timers arrive as events) and the destroy routines. The entries are
read from the program's own sources (the state tables and the calls that hand
routines to the framework). A firmware service counts as its call site only:
its own stack is the firmware's. A call through a pointer, recursion or a
frame of unbounded dynamic size is named, not guessed.

  stack_depth.py --objects DIR --sources ROOT --services services.txt [--json]
"""
import argparse
import glob
import json
import os
import re
import sys

NODE = re.compile(r'node: \{ title: "([^"]+)" label: "([^"]*)"')
EDGE = re.compile(r'edge: \{ sourcename: "([^"]+)" targetname: "([^"]+)"')
FRAME = re.compile(r"\\n(\d+) bytes \(([a-z,]+)\)")
INDIRECT = "__indirect_call"


def plain_name(label):
    """The routine's name from the label's declaration: 'uint32_t f(int)' -> 'f'."""
    head = label.split("\\n")[0].split("(")[0].strip()
    return re.split(r"[\s*&:]+", head)[-1]


class Graph:
    def __init__(self):
        self.frames = {}  # key -> (bytes, bounded)
        self.names = {}  # key -> plain name
        self.calls = {}  # key -> [callee title]
        self.by_title = {}  # mangled title -> [keys]
        self.unit_of = {}  # key -> unit
        self.local = {}  # unit -> {title: key} of the routines it defines

    def read(self, path):
        unit = path
        defined = {}
        edges = []
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                m = NODE.search(line)
                if m:
                    frame = FRAME.search(m.group(2))
                    if frame:
                        key = (unit, m.group(1))
                        defined[m.group(1)] = key
                        self.frames[key] = (int(frame.group(1)), frame.group(2) != "dynamic")
                        self.names[key] = plain_name(m.group(2))
                        self.by_title.setdefault(m.group(1), []).append(key)
                        self.unit_of[key] = unit
                    continue
                m = EDGE.search(line)
                if m:
                    edges.append(m.groups())
        for source, target in edges:
            self.calls.setdefault(defined[source], []).append(target)
        self.local[unit] = defined

    def callee(self, caller, title):
        """The definition a call from `caller` reaches: its own unit's first."""
        own = self.local[self.unit_of[caller]].get(title)
        if own:
            return own
        keys = self.by_title.get(title, [])
        return keys[0] if len(keys) == 1 else None


def entries(root):
    """The routines the firmware calls, read from the program's sources."""
    found = ["Lib"]
    for path in glob.glob(os.path.join(root, "app", "*.cpp")):
        text = open(path, encoding="utf-8").read()
        found += re.findall(r"\{EV_\w+, (\w+)\}", text)
        for entry, leave in re.findall(r"\{(?:APP_STATE_ANY|\d+), \{0, 0, 0\}, (\w+), (\w+), \w+\}", text):
            found += [entry, leave]
        found += re.findall(r"APP_Register\([^;]*?,\s*(\w+)\);", text)
        found += re.findall(r"APP_Start\([^,]+,[^,]+,[^,]+,[^,]+,\s*(\w+),", text)
    unique = []
    for name in found:
        if name != "nullptr" and name not in unique:
            unique.append(name)
    return unique


def deepest(graph, services, key, stack, memo, unbounded):
    """(bytes, path) of the deepest chain of calls from `key`."""
    if key in memo:
        return memo[key]
    name = graph.names[key]
    frame, bounded = graph.frames[key]
    if not bounded:
        unbounded.add("%s: a frame of dynamic size" % name)
    best, best_path = 0, []
    for title in graph.calls.get(key, []):
        if title == INDIRECT:
            unbounded.add("%s: a call through a pointer" % name)
            continue
        target = graph.callee(key, title)
        if target is None:
            plain = title
            if plain not in services:
                unbounded.add("%s: calls %s, which the image does not define" % (name, plain))
            continue  # a firmware service: its call site is in this frame
        if target in stack:
            unbounded.add("%s: recursion through %s" % (name, graph.names[target]))
            continue
        depth, path = deepest(graph, services, target, stack | {target}, memo, unbounded)
        if depth > best:
            best, best_path = depth, path
    memo[key] = (frame + best, [(name, frame)] + best_path)
    return memo[key]


def analyse(objects, sources, services_file):
    """Every entry's deepest stack, the worst of them and what cannot be bounded."""
    services = {line.strip() for line in open(services_file) if line.strip() and not line.startswith("#")}
    graph = Graph()
    units = glob.glob(os.path.join(objects, "**", "*.ci"), recursive=True)
    if not units:
        sys.exit("no call graphs (*.ci) under %s: build the phone images first" % objects)
    for path in sorted(units):
        graph.read(path)
    rows, unbounded, memo = [], set(), {}
    for name in entries(sources):
        keys = [k for k, n in graph.names.items() if n == name]
        if not keys:
            if name in services:
                rows.append({"entry": name, "bytes": 0, "path": [name + " (firmware)"]})
                continue
            sys.exit("entry %s is defined nowhere in the image's call graphs" % name)
        depth, path = deepest(graph, services, keys[0], {keys[0]}, memo, unbounded)
        rows.append({"entry": name, "bytes": depth, "path": ["%s %d" % step for step in path]})
    worst = max(rows, key=lambda r: r["bytes"])
    return {"entries": rows, "worst": worst, "unbounded": sorted(unbounded)}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objects", required=True, help="folder of one image's objects (*.ci beside them)")
    parser.add_argument("--sources", required=True, help="the project's source folder")
    parser.add_argument("--services", required=True, help="platform/services.txt")
    parser.add_argument("--json", action="store_true", help="print the result as JSON")
    args = parser.parse_args()
    result = analyse(args.objects, args.sources, args.services)
    if args.json:
        print(json.dumps(result))
        return
    print("%-28s %6s  %s" % ("entry", "bytes", "deepest path (routine and its frame in bytes)"))
    for r in result["entries"]:
        print("%-28s %6d  %s" % (r["entry"], r["bytes"], " > ".join(r["path"])))
    print("worst: %s, %d bytes" % (result["worst"]["entry"], result["worst"]["bytes"]))
    print("unbounded: " + ("; ".join(result["unbounded"]) if result["unbounded"] else "none"))


if __name__ == "__main__":
    main()
