#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks a release archive for phone owners.

  check_archive.py ARCHIVE --version V --licence LICENSE --images A.elf B.elf ...
                   [--page zq-player.html [--runner tools/zqweb]]

The archive holds exactly one folder zq-player-V/ with the four phone images
(each a 32-bit big-endian ARM ELF file, byte for byte the image as built),
the 15228-byte GB2312 table gb2uc.map, INSTALL.md (which names the paths the
player reads), LICENSE (the project's, byte for byte), THIRD_PARTY.md (which
names the licences of what the project uses) and SHA256SUMS, whose sums match every other file. With
--page, also the page zq-player.html (byte for byte the page as built) and the
Chinese guide INSTALL.zh-CN.md (which names the same paths); with --runner
and Chromium and node installed, the archive's page opens and draws in
headless Chromium. Prints each fault and exits 1 when there is one.
"""
import argparse
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

GB2UC_BYTES = 15228
EM_ARM = 40
THIRD_PARTY_MENTIONS = ("GNU Unifont", "FFmpeg", "SDL2", "GoogleTest", "Google Benchmark", "GB2312", "MIT")
GUIDE_MENTIONS = ("file://b/ELF/gb2uc.map", "file://b/mobile/audio/lrc/", "0x10C3E800", "zqlrc scan", "zqlrc fix")


def elf_fault(data):
    """Why the bytes are not a 32-bit big-endian ARM ELF image, or None."""
    if len(data) < 52 or data[:4] != b"\x7fELF":
        return "not an ELF file"
    if data[4] != 1:
        return "not 32-bit"
    if data[5] != 2:
        return "not big-endian"
    (machine,) = struct.unpack(">H", data[18:20])
    if machine != EM_ARM:
        return "not ARM (machine %d)" % machine
    return None


def page_faults(files, page, runner):
    """The faults of the page and the Chinese guide in the archive."""
    faults = []
    with open(page, "rb") as f:
        if files.get("zq-player.html") != f.read():
            faults.append("zq-player.html is not the page as built (%s)" % page)
    guide = files.get("INSTALL.zh-CN.md", b"").decode("utf-8", "replace")
    faults += ["INSTALL.zh-CN.md does not mention %s" % m for m in GUIDE_MENTIONS + ("zq-player.html",) if m not in guide]
    if "zq-player.html" not in files.get("INSTALL.md", b"").decode("utf-8", "replace"):
        faults.append("INSTALL.md does not point to zq-player.html")
    chromium = os.environ.get("ZQ_CHROMIUM") or shutil.which("chromium")
    node = shutil.which("node") or shutil.which("nodejs")
    if runner and chromium and node and "zq-player.html" in files:
        with tempfile.TemporaryDirectory() as tmp:
            opened = os.path.join(tmp, "zq-player.html")
            with open(opened, "wb") as f:
                f.write(files["zq-player.html"])
            run = subprocess.run([node, os.path.join(os.path.dirname(__file__), "page_draws.js"), opened, runner],
                                 capture_output=True, text=True, env=dict(os.environ, ZQ_CHROMIUM=chromium))
            if run.returncode != 0:
                faults.append("zq-player.html: " + (run.stdout + run.stderr).strip())
    return faults


def check(archive, version, images, licence, page=None, runner=None):
    faults = []
    top = "zq-player-%s/" % version
    with zipfile.ZipFile(archive) as z:
        files = {n[len(top):]: z.read(n) for n in z.namelist() if n.startswith(top) and not n.endswith("/")}
        strays = [n for n in z.namelist() if not n.startswith(top)]
    if strays:
        faults.append("outside %s: %s" % (top, ", ".join(strays)))
    built = {os.path.basename(p): open(p, "rb").read() for p in images}
    want = sorted(list(built) + ["gb2uc.map", "INSTALL.md", "LICENSE", "THIRD_PARTY.md", "SHA256SUMS"] +
                  (["zq-player.html", "INSTALL.zh-CN.md"] if page else []))
    if sorted(files) != want:
        faults.append("holds %s, not %s" % (sorted(files), want))
    if len(built) != 4:
        faults.append("%d images built, not 4" % len(built))
    for name, data in built.items():
        if name not in files:
            continue
        fault = elf_fault(files[name])
        if fault:
            faults.append("%s: %s" % (name, fault))
        if files[name] != data:
            faults.append("%s differs from the image as built" % name)
    if len(files.get("gb2uc.map", b"")) != GB2UC_BYTES:
        faults.append("gb2uc.map is %d bytes, not %d" % (len(files.get("gb2uc.map", b"")), GB2UC_BYTES))
    guide = files.get("INSTALL.md", b"").decode("utf-8", "replace")
    faults += ["INSTALL.md does not mention %s" % m for m in GUIDE_MENTIONS if m not in guide]
    faults += ["INSTALL.md does not name %s" % n for n in built if n not in guide]
    with open(licence, "rb") as f:
        if files.get("LICENSE") != f.read():
            faults.append("LICENSE is not the project's licence as it stands in %s" % licence)
    others = files.get("THIRD_PARTY.md", b"").decode("utf-8", "replace")
    faults += ["THIRD_PARTY.md does not name %s" % n for n in THIRD_PARTY_MENTIONS if n not in others]
    if page:
        faults += page_faults(files, page, runner)

    summed = {}
    for line in files.get("SHA256SUMS", b"").decode("ascii", "replace").splitlines():
        digest, sep, name = line.partition("  ")
        if not sep or name in summed:
            faults.append("SHA256SUMS: bad or repeated line %r" % line)
            continue
        summed[name] = digest
    for name, data in files.items():
        if name == "SHA256SUMS":
            continue
        if name not in summed:
            faults.append("SHA256SUMS has no sum of %s" % name)
        elif summed[name] != hashlib.sha256(data).hexdigest():
            faults.append("SHA256SUMS: the sum of %s does not match" % name)
    faults += ["SHA256SUMS names %s, which is not in the archive" % n for n in summed if n not in files]
    return faults


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("archive")
    parser.add_argument("--version", required=True)
    parser.add_argument("--licence", required=True)
    parser.add_argument("--images", nargs="+", required=True)
    parser.add_argument("--page")
    parser.add_argument("--runner")
    args = parser.parse_args()
    faults = check(args.archive, args.version, args.images, args.licence, args.page, args.runner)
    for f in faults:
        print("%s: %s" % (args.archive, f))
    if not faults:
        print("%s: four big-endian ARM images as built, the %d-byte table, INSTALL.md, LICENSE, "
              "THIRD_PARTY.md, %ssums that match"
              % (args.archive, GB2UC_BYTES, "the page and INSTALL.zh-CN.md, " if args.page else ""))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
