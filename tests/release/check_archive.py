#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks a release archive for phone owners.

  check_archive.py ARCHIVE --version V --licence LICENSE --images A.elf B.elf ...

The archive holds exactly one folder zq-player-V/ with the four phone images
(each a 32-bit big-endian ARM ELF file, byte for byte the image as built),
the 15228-byte GB2312 table gb2uc.map, INSTALL.md (which names the paths the
player reads), LICENSE (the project's, byte for byte), THIRD_PARTY.md (which
names the licences of what the project uses) and SHA256SUMS, whose sums match every other file. Prints each
fault and exits 1 when there is one.
"""
import argparse
import hashlib
import os
import struct
import sys
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


def check(archive, version, images, licence):
    faults = []
    top = "zq-player-%s/" % version
    with zipfile.ZipFile(archive) as z:
        files = {n[len(top):]: z.read(n) for n in z.namelist() if n.startswith(top) and not n.endswith("/")}
        strays = [n for n in z.namelist() if not n.startswith(top)]
    if strays:
        faults.append("outside %s: %s" % (top, ", ".join(strays)))
    built = {os.path.basename(p): open(p, "rb").read() for p in images}
    want = sorted(list(built) + ["gb2uc.map", "INSTALL.md", "LICENSE", "THIRD_PARTY.md", "SHA256SUMS"])
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
    args = parser.parse_args()
    faults = check(args.archive, args.version, args.images, args.licence)
    for f in faults:
        print("%s: %s" % (args.archive, f))
    if not faults:
        print("%s: four big-endian ARM images as built, the %d-byte table, INSTALL.md, LICENSE, "
              "THIRD_PARTY.md, sums that match"
              % (args.archive, GB2UC_BYTES))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
