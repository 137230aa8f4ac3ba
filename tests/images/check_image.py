#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks one program image against the rules of the firmware's loader.

Every image: each undefined (imported) symbol is a firmware service listed in
platform/services.txt, and the entry stub Lib is defined.
With --stand-in the file is the stand-in's library instead, which must define
every service of the list.
Phone images also: 32-bit ELF, big-endian, ARM, one loadable segment that
starts at address 0 with Lib, relocations only of the kinds the loader
resolves (relative, and imports by name), no constructors to run.

Reads the ELF file itself, so it needs nothing but Python.
"""
import argparse
import struct
import sys

EM_ARM = 40
ET_DYN = 3
PT_LOAD = 1
SHT_SYMTAB = 2
SHT_RELA = 4
SHT_REL = 9
SHT_DYNSYM = 11
SHN_UNDEF = 0
STB_GLOBAL = 1
STB_WEAK = 2

# R_ARM_ABS32, R_ARM_GLOB_DAT, R_ARM_JUMP_SLOT, R_ARM_RELATIVE
ARM_LOADER_RELOCATIONS = {2: "R_ARM_ABS32", 21: "R_ARM_GLOB_DAT", 22: "R_ARM_JUMP_SLOT", 23: "R_ARM_RELATIVE"}

# What AddressSanitizer and UBSan instrumentation import into a host image.
SANITIZER_PREFIXES = ("__asan_", "__ubsan_", "__sanitizer_", "__lsan_")

PHONE_SIZE_LIMIT = 512 * 1024  # bytes in memory; the program is a few tens of KiB


class ElfError(Exception):
    pass


class Elf:
    def __init__(self, data):
        if len(data) < 52 or data[:4] != b"\x7fELF":
            raise ElfError("not an ELF file")
        self.data = data
        self.is64 = data[4] == 2
        if data[4] not in (1, 2):
            raise ElfError("unknown ELF class %d" % data[4])
        if data[5] not in (1, 2):
            raise ElfError("unknown ELF data encoding %d" % data[5])
        self.big_endian = data[5] == 2
        self.e = ">" if self.big_endian else "<"
        if self.is64:
            fields = self.unpack("HHIQQQIHHHHHH", 16)
        else:
            fields = self.unpack("HHIIIIIHHHHHH", 16)
        (self.type, self.machine, _, self.entry, self.phoff, self.shoff, self.flags, _, self.phentsize,
         self.phnum, self.shentsize, self.shnum, self.shstrndx) = fields
        self.segments = [self.segment(i) for i in range(self.phnum)]
        self.sections = [self.section(i) for i in range(self.shnum)]
        if self.sections and self.shstrndx < len(self.sections):
            names = self.sections[self.shstrndx]
            for s in self.sections:
                s["name"] = self.string(names, s["name_offset"])

    def unpack(self, fmt, offset):
        size = struct.calcsize(self.e + fmt)
        if offset < 0 or offset + size > len(self.data):
            raise ElfError("truncated at offset %d" % offset)
        return struct.unpack_from(self.e + fmt, self.data, offset)

    def segment(self, i):
        off = self.phoff + i * self.phentsize
        if self.is64:
            t, flags, offset, vaddr, _, filesz, memsz, align = self.unpack("IIQQQQQQ", off)
        else:
            t, offset, vaddr, _, filesz, memsz, flags, align = self.unpack("IIIIIIII", off)
        return {"type": t, "offset": offset, "vaddr": vaddr, "filesz": filesz, "memsz": memsz}

    def section(self, i):
        off = self.shoff + i * self.shentsize
        if self.is64:
            name, t, flags, addr, offset, size, link, info, align, entsize = self.unpack("IIQQQQIIQQ", off)
        else:
            name, t, flags, addr, offset, size, link, info, align, entsize = self.unpack("IIIIIIIIII", off)
        return {"name_offset": name, "name": "", "type": t, "addr": addr, "offset": offset, "size": size,
                "link": link, "entsize": entsize}

    def string(self, table, offset):
        start = table["offset"] + offset
        if offset >= table["size"] or start >= len(self.data):
            raise ElfError("string outside its table")
        end = self.data.find(b"\0", start, table["offset"] + table["size"])
        if end < 0:
            raise ElfError("unterminated string")
        return self.data[start:end].decode("utf-8", "replace")

    def symbols(self, kind):
        """(name, value, section index, binding) of every symbol of the given table type."""
        out = []
        for s in self.sections:
            if s["type"] != kind or s["entsize"] == 0:
                continue
            strtab = self.sections[s["link"]]
            for i in range(1, s["size"] // s["entsize"]):
                off = s["offset"] + i * s["entsize"]
                if self.is64:
                    name, info, _, shndx, value, _ = self.unpack("IBBHQQ", off)
                else:
                    name, value, _, info, _, shndx = self.unpack("IIIBBH", off)
                out.append((self.string(strtab, name), value, shndx, info >> 4))
        return out

    def relocation_types(self):
        """Relocation type of every dynamic relocation entry."""
        out = []
        for s in self.sections:
            if s["type"] not in (SHT_REL, SHT_RELA) or s["entsize"] == 0:
                continue
            for i in range(s["size"] // s["entsize"]):
                off = s["offset"] + i * s["entsize"]
                if self.is64:
                    info = self.unpack("QQ", off)[1]
                    out.append((s["name"], info & 0xFFFFFFFF))
                else:
                    info = self.unpack("II", off)[1]
                    out.append((s["name"], info & 0xFF))
        return out

    def section_named(self, name):
        for s in self.sections:
            if s["name"] == name:
                return s
        return None


def read_services(path):
    names = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                names.add(line)
    return names


def check(image, services, phone, sanitize):
    problems = []
    with open(image, "rb") as f:
        elf = Elf(f.read())

    dynamic = elf.symbols(SHT_DYNSYM)
    imports = sorted({name for name, _, shndx, _ in dynamic if shndx == SHN_UNDEF and name})
    for name in imports:
        if name in services:
            continue
        if sanitize and not phone and name.startswith(SANITIZER_PREFIXES):
            continue
        problems.append("imports %s, which is not a firmware service" % name)

    lib = [(value, shndx) for name, value, shndx, _ in dynamic if name == "Lib"]
    if not lib or lib[0][1] == SHN_UNDEF:
        problems.append("does not export the entry stub Lib")

    init_array = elf.section_named(".init_array")
    if init_array is not None and init_array["size"] > 0 and not (sanitize and not phone):
        problems.append("has static constructors (.init_array of %d bytes)" % init_array["size"])

    if phone:
        if elf.is64:
            problems.append("is not a 32-bit ELF file")
        if not elf.big_endian:
            problems.append("is not big-endian")
        if elf.machine != EM_ARM:
            problems.append("is not for ARM (machine %d)" % elf.machine)
        if elf.type != ET_DYN:
            problems.append("is not a position-independent image (type %d)" % elf.type)
        loads = [s for s in elf.segments if s["type"] == PT_LOAD]
        if len(loads) != 1:
            problems.append("has %d loadable segments, not one" % len(loads))
        elif loads[0]["vaddr"] != 0:
            problems.append("loads at 0x%x, not at 0" % loads[0]["vaddr"])
        else:
            if loads[0]["memsz"] > PHONE_SIZE_LIMIT:
                problems.append("needs %d bytes of memory, more than %d" % (loads[0]["memsz"], PHONE_SIZE_LIMIT))
            print("%s: %d bytes in memory" % (image, loads[0]["memsz"]))
        if lib and lib[0][0] != 0:
            problems.append("has Lib at 0x%x, not at the image's first byte" % lib[0][0])
        for section, kind in elf.relocation_types():
            if kind not in ARM_LOADER_RELOCATIONS:
                problems.append("has a relocation of type %d in %s that the loader does not resolve" % (kind, section))

    return imports, problems


def check_stand_in(library, services):
    """Problems of a stand-in library: each service of the list it does not export."""
    with open(library, "rb") as f:
        elf = Elf(f.read())
    exported = {name for name, _, shndx, binding in elf.symbols(SHT_DYNSYM)
                if shndx != SHN_UNDEF and binding in (STB_GLOBAL, STB_WEAK)}
    return ["does not define the firmware service %s" % name for name in sorted(services - exported)]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--services", required=True, help="platform/services.txt")
    parser.add_argument("--phone", action="store_true", help="the image is an ARM big-endian phone image")
    parser.add_argument("--sanitize", action="store_true", help="host image built with the sanitizers")
    parser.add_argument("--stand-in", action="store_true", help="the file is the stand-in's library")
    parser.add_argument("image")
    args = parser.parse_args()

    try:
        services = read_services(args.services)
        if args.stand_in:
            problems = check_stand_in(args.image, services)
            print("%s defines %d of the %d firmware services" % (args.image, len(services) - len(problems),
                                                                  len(services)))
            for p in problems:
                print("%s %s" % (args.image, p), file=sys.stderr)
            return 1 if problems else 0
        imports, problems = check(args.image, services, args.phone, args.sanitize)
    except OSError as e:
        print("%s: cannot be read (%s); build the images first" % (args.image, e.strerror), file=sys.stderr)
        return 1
    except ElfError as e:
        print("%s: %s" % (args.image, e), file=sys.stderr)
        return 1

    print("%s imports %d symbols" % (args.image, len(imports)))
    for p in problems:
        print("%s %s" % (args.image, p), file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
