#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The image checker must reject each kind of faulty image and pass a good one.

Builds tiny images with the host compiler and, when it is installed, the ARM
toolchain, then runs the checker on each. Usage: check_image_test.py
<check_image.py> <services.txt>
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

CHECK, SERVICES = sys.argv[1], sys.argv[2]
sys.path.insert(0, os.path.dirname(os.path.abspath(CHECK)))
import check_image  # noqa: E402

GOOD = r'''
extern "C" void* suAllocMem(unsigned size, int* error);
extern "C" __attribute__((visibility("default"))) unsigned Lib(unsigned, const char*, unsigned) {
  return suAllocMem(4, 0) != 0;
}
'''
IMPORTS_MALLOC = GOOD + 'extern "C" void* malloc(unsigned long);\nvoid* f() { return malloc(1); }\n'
HAS_CONSTRUCTOR = GOOD + 'int g();\nint x = g();\n'
NO_ENTRY = 'extern "C" void* suAllocMem(unsigned, int*);\nvoid* f() { return suAllocMem(1, 0); }\n'
PHONE_FLAGS = ["-mbig-endian", "-marm", "-march=armv5te", "-ffreestanding", "-fno-exceptions", "-fno-rtti",
               "-fno-builtin", "-fPIC", "-O2", "-ffunction-sections", "-fdata-sections"]

failures = []
work = tempfile.mkdtemp(prefix="zq_image_check_")


def build(name, source, compiler, flags, link_flags):
    src = os.path.join(work, name + ".cpp")
    out = os.path.join(work, name + ".so")
    with open(src, "w") as f:
        f.write(source)
    subprocess.run([compiler] + flags + ["-shared", "-nostdlib", "-o", out, src] + link_flags, check=True)
    return out


def expect(what, image, phone, ok, message=None, stand_in=False):
    args = [sys.executable, CHECK, "--services", SERVICES] + (["--phone"] if phone else []) + \
        (["--stand-in"] if stand_in else []) + [image]
    run = subprocess.run(args, capture_output=True, text=True)
    if (run.returncode == 0) != ok:
        failures.append("%s: expected %s, got exit %d\n%s%s" % (what, "pass" if ok else "failure", run.returncode,
                                                              run.stdout, run.stderr))
    elif message is not None and message not in run.stderr:
        failures.append("%s: message %r missing from:\n%s" % (what, message, run.stderr))
    else:
        print("ok: %s" % what)


def retype_first_relocation(image, new_type):
    """A copy of a phone image whose first dynamic relocation has another type."""
    data = bytearray(open(image, "rb").read())
    elf = check_image.Elf(bytes(data))
    rel = next(s for s in elf.sections if s["type"] == check_image.SHT_REL and s["size"] > 0)
    info_at = rel["offset"] + 4
    (info,) = struct.unpack_from(">I", data, info_at)
    struct.pack_into(">I", data, info_at, (info & ~0xFF) | new_type)
    out = image + ".retyped"
    open(out, "wb").write(data)
    return out


try:
    gxx = shutil.which("g++") or shutil.which("c++")
    host_flags = ["-fPIC", "-O2", "-fno-exceptions", "-fno-rtti", "-fvisibility=hidden"]
    good = build("good", GOOD, gxx, host_flags, [])
    expect("a host image that imports firmware services only passes", good, False, True)
    expect("a host image that imports malloc fails", build("malloc", IMPORTS_MALLOC, gxx, host_flags, []),
           False, False, "imports malloc")
    expect("a host image with a static constructor fails", build("ctor", HAS_CONSTRUCTOR, gxx, host_flags, []),
           False, False, "static constructors")
    expect("a host image without Lib fails", build("noentry", NO_ENTRY, gxx, host_flags, []), False, False,
           "Lib")
    expect("a host image is not a phone image", good, True, False, "not big-endian")
    not_elf = os.path.join(work, "not_elf.so")
    open(not_elf, "wb").write(b"#!/bin/sh\n" + b"\0" * 64)
    expect("a file that is not ELF fails", not_elf, False, False, "not an ELF file")
    truncated = os.path.join(work, "truncated.so")
    open(truncated, "wb").write(open(good, "rb").read()[:200])
    expect("a truncated image fails", truncated, False, False)
    expect("a missing image fails", os.path.join(work, "none.so"), False, False, "build the images first")

    # A stand-in must define every service; one left out is named.
    names = sorted(check_image.read_services(SERVICES))
    define = 'extern "C" __attribute__((visibility("default"))) void %s() {}\n'
    expect("a stand-in that defines every service passes",
           build("full", "".join(define % n for n in names), gxx, host_flags, []), False, True, stand_in=True)
    lacking = "".join(define % n for n in names[1:])
    expect("a stand-in that lacks a service fails", build("lacking", lacking, gxx, host_flags, []), False, False,
           "does not define the firmware service %s" % names[0], stand_in=True)

    arm = shutil.which("arm-none-eabi-g++")
    script = os.path.join(os.path.dirname(os.path.abspath(CHECK)), "..", "..", "phone", "image.ld")
    if arm is None:
        print("skipped: the phone image cases need arm-none-eabi-g++")
    else:
        link = ["-Wl,-Bsymbolic", "-Wl,-z,now", "-Wl,-T," + script]
        phone = build("phone", GOOD, arm, PHONE_FLAGS, link)
        expect("a phone image in the loader's form passes", phone, True, True)
        loose = build("loose", "extern \"C\" int pad() { return 7; }\n" + GOOD, arm, PHONE_FLAGS,
                      ["-Wl,-Bsymbolic", "-Wl,-z,now"])
        expect("a phone image linked without its script fails", loose, True, False)
        little = build("little", GOOD, arm, [f for f in PHONE_FLAGS if f != "-mbig-endian"], [])
        expect("a little-endian ARM image fails", little, True, False, "not big-endian")
        expect("a phone image with a relocation the loader cannot resolve fails",
               retype_first_relocation(phone, 3), True, False, "relocation of type 3")
finally:
    shutil.rmtree(work, ignore_errors=True)

for f in failures:
    print("FAILED " + f, file=sys.stderr)
sys.exit(1 if failures else 0)
