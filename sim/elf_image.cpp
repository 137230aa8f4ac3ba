// SPDX-License-Identifier: MIT
// Checking and relocating phone images. Every field is read from the bytes
// in big-endian order and every offset is checked against what it points
// into before it is followed, so a malformed file is refused with a reason,
// never followed out of its buffer.
#include "sim/elf_image.h"

#include "sim/reason_line.h"

namespace sim::elf {
namespace {

using Line = ReasonLine;

constexpr uint32_t kHeaderBytes = 52;
constexpr uint32_t kProgramHeaderBytes = 32;
constexpr uint32_t kRelBytes = 8;
constexpr uint32_t kSymBytes = 16;

constexpr uint16_t kTypeShared = 3;  // ET_DYN
constexpr uint16_t kMachineArm = 40;
constexpr uint32_t kLoad = 1;     // PT_LOAD
constexpr uint32_t kDynamic = 2;  // PT_DYNAMIC

enum DynamicTag : uint32_t {
  kNull = 0,
  kNeeded = 1,
  kPltRelBytes = 2,
  kHash = 4,
  kStrtab = 5,
  kSymtab = 6,
  kRela = 7,
  kStrBytes = 10,
  kSymEnt = 11,
  kInit = 12,
  kRel = 17,
  kRelBytesTag = 18,
  kRelEnt = 19,
  kPltRel = 20,
  kJmpRel = 23,
  kInitArray = 25,
  kInitArrayBytes = 27,
  kPreinitArrayBytes = 33,
};

enum Relocation : uint8_t { kAbs32 = 2, kGlobDat = 21, kJumpSlot = 22, kRelative = 23 };

constexpr uint16_t kUndefined = 0;      // SHN_UNDEF
constexpr uint16_t kAbsolute = 0xFFF1;  // SHN_ABS

uint16_t Get16(const uint8_t* p) {
  return (uint16_t)((p[0] << 8) | p[1]);
}
uint32_t Get32(const uint8_t* p) {
  return ((uint32_t)p[0] << 24) | ((uint32_t)p[1] << 16) | ((uint32_t)p[2] << 8) | p[3];
}
void Put32(uint8_t* p, uint32_t v) {
  p[0] = (uint8_t)(v >> 24);
  p[1] = (uint8_t)(v >> 16);
  p[2] = (uint8_t)(v >> 8);
  p[3] = (uint8_t)v;
}

// [start, start + bytes) inside [0, limit), without overflow.
bool Inside(uint64_t start, uint64_t bytes, uint64_t limit) {
  return start <= limit && bytes <= limit - start;
}

// The dynamic tags the loader reads, by tag number (all below this one).
constexpr uint32_t kKnownTags = kPreinitArrayBytes + 1;

struct Dynamic {
  uint32_t value[kKnownTags];
  bool seen[kKnownTags];
};

// A table of `bytes` at image address `at` must lie in the segment's file part.
bool TableInside(const Layout& l, uint32_t at, uint32_t bytes) {
  return Inside(at, bytes, l.file_bytes);
}

bool ReadDynamic(const uint8_t* segment, uint32_t at, uint32_t bytes, Dynamic* d, Line* why) {
  for (uint32_t i = 0; i < kKnownTags; ++i) {
    d->value[i] = 0;
    d->seen[i] = false;
  }
  for (uint32_t off = 0; off + 8 <= bytes; off += 8) {
    uint32_t tag = Get32(segment + at + off);
    uint32_t value = Get32(segment + at + off + 4);
    if (tag == kNull) break;
    if (tag == kNeeded) {
      why->Add("it needs another library (DT_NEEDED); an image links against nothing");
      return false;
    }
    if (tag == kRela) {
      why->Add("it has RELA relocations; the loader applies REL relocations only");
      return false;
    }
    if ((tag == kInit || tag == kInitArray || tag == kInitArrayBytes || tag == kPreinitArrayBytes) && value != 0) {
      why->Add("it has constructors to run; the loader runs none");
      return false;
    }
    if (tag < kKnownTags) {
      d->value[tag] = value;
      d->seen[tag] = true;
    }
  }
  return true;
}

bool CheckTables(const uint8_t* segment, const Dynamic& d, Layout* l, Line* why) {
  l->rel = d.value[kRel];
  l->rel_bytes = d.seen[kRel] ? d.value[kRelBytesTag] : 0;
  l->jmprel = d.value[kJmpRel];
  l->jmprel_bytes = d.seen[kJmpRel] ? d.value[kPltRelBytes] : 0;
  if (d.seen[kRelEnt] && d.value[kRelEnt] != kRelBytes) {
    why->Add("relocation entries of ").Number(d.value[kRelEnt]).Add(" bytes; the loader takes 8");
    return false;
  }
  if (l->jmprel_bytes != 0 && d.value[kPltRel] != kRel) {
    why->Add("procedure linkage relocations of a kind other than REL");
    return false;
  }
  if (!TableInside(*l, l->rel, l->rel_bytes) || l->rel_bytes % kRelBytes != 0) {
    why->Add("the relocation table lies outside the loadable segment");
    return false;
  }
  if (!TableInside(*l, l->jmprel, l->jmprel_bytes) || l->jmprel_bytes % kRelBytes != 0) {
    why->Add("the procedure linkage relocation table lies outside the loadable segment");
    return false;
  }
  l->strtab = d.value[kStrtab];
  l->strtab_bytes = d.seen[kStrtab] ? d.value[kStrBytes] : 0;
  if (!TableInside(*l, l->strtab, l->strtab_bytes)) {
    why->Add("the string table lies outside the loadable segment");
    return false;
  }
  l->symtab = d.value[kSymtab];
  l->symbols = 0;
  if (!d.seen[kSymtab]) return true;
  if (d.seen[kSymEnt] && d.value[kSymEnt] != kSymBytes) {
    why->Add("symbol entries of ").Number(d.value[kSymEnt]).Add(" bytes; the loader takes 16");
    return false;
  }
  // The symbol table does not say how long it is; the hash table's chain
  // count does.
  if (!d.seen[kHash] || !TableInside(*l, d.value[kHash], 8)) {
    why->Add("the symbol table has no hash table (DT_HASH) inside the segment to count its symbols");
    return false;
  }
  l->symbols = Get32(segment + d.value[kHash] + 4);
  if (l->symbols > l->file_bytes / kSymBytes || !TableInside(*l, l->symtab, l->symbols * kSymBytes)) {
    why->Add("the symbol table lies outside the loadable segment");
    return false;
  }
  return true;
}

// The name of symbol `index`, or null when it does not end inside the
// string table.
const char* SymbolName(const uint8_t* segment, const Layout& l, uint32_t index) {
  uint32_t at = Get32(segment + l.symtab + index * kSymBytes);
  if (at >= l.strtab_bytes) return nullptr;
  const char* name = (const char*)segment + l.strtab + at;
  for (uint32_t i = 0; at + i < l.strtab_bytes; ++i)
    if (name[i] == '\0') return name;
  return nullptr;
}

bool NamesEqual(const char* a, const char* b) {
  for (; *a != '\0' && *a == *b; ++a, ++b) {
  }
  return *a == *b;
}

// The value a relocation against symbol `index` stores.
bool SymbolValue(const uint8_t* file_segment, const Layout& l, uint32_t index, uint32_t base, Resolver resolve,
                 void* ctx, uint32_t* value, Line* why) {
  if (index == 0) {
    *value = 0;
    return true;
  }
  if (index >= l.symbols) {
    why->Add("a relocation names symbol ").Number(index).Add(" of a table of ").Number(l.symbols);
    return false;
  }
  const uint8_t* sym = file_segment + l.symtab + index * kSymBytes;
  uint16_t section = Get16(sym + 14);
  if (section == kAbsolute) {
    *value = Get32(sym + 4);
    return true;
  }
  if (section != kUndefined) {
    *value = base + Get32(sym + 4);
    return true;
  }
  const char* name = SymbolName(file_segment, l, index);
  if (name == nullptr) {
    why->Add("symbol ").Number(index).Add(" has its name outside the string table");
    return false;
  }
  if (resolve == nullptr || !resolve(name, value, ctx)) {
    why->Add("it imports ").Name(name).Add(", which the firmware does not offer");
    return false;
  }
  return true;
}

bool Apply(const uint8_t* file_segment, const Layout& l, uint32_t table, uint32_t bytes, uint8_t* memory, uint32_t base,
           Resolver resolve, void* ctx, Line* why) {
  for (uint32_t off = 0; off < bytes; off += kRelBytes) {
    uint32_t where = Get32(file_segment + table + off);
    uint32_t info = Get32(file_segment + table + off + 4);
    uint8_t type = (uint8_t)(info & 0xFF);
    if (l.memory_bytes < 4 || where > l.memory_bytes - 4) {
      why->Add("a relocation at ").Hex(where).Add(" lies outside the image");
      return false;
    }
    if (type != kRelative && type != kGlobDat && type != kJumpSlot && type != kAbs32) {
      why->Add("relocation of type ").Number(type).Add(" at ").Hex(where);
      why->Add("; the loader applies R_ARM_RELATIVE, R_ARM_GLOB_DAT, R_ARM_JUMP_SLOT and R_ARM_ABS32 only");
      return false;
    }
    uint8_t* word = memory + where;
    if (type == kRelative) {
      Put32(word, Get32(word) + base);
      continue;
    }
    uint32_t value = 0;
    if (!SymbolValue(file_segment, l, info >> 8, base, resolve, ctx, &value, why)) return false;
    // R_ARM_ABS32 adds to the word the image holds; the other two set it.
    Put32(word, type == kAbs32 ? Get32(word) + value : value);
  }
  return true;
}

// The ELF header: a 32-bit, big-endian, shared image for ARM whose program
// headers lie inside the file.
bool CheckHeader(const uint8_t* file, size_t size, Line* line) {
  if (file == nullptr || size < kHeaderBytes) {
    line->Add("too short for an ELF header");
    return false;
  }
  if (file[0] != 0x7F || file[1] != 'E' || file[2] != 'L' || file[3] != 'F') {
    line->Add("not an ELF file");
    return false;
  }
  if (file[4] != 1) {
    line->Add("not a 32-bit ELF file (class ").Number(file[4]).Add(")");
    return false;
  }
  if (file[5] != 2) {
    line->Add("not big-endian (byte order ").Number(file[5]).Add(")");
    return false;
  }
  if (Get16(file + 16) != kTypeShared) {
    line->Add("not a shared image (type ").Number(Get16(file + 16)).Add("; the loader takes ET_DYN)");
    return false;
  }
  if (Get16(file + 18) != kMachineArm) {
    line->Add("not for ARM (machine ").Number(Get16(file + 18)).Add(")");
    return false;
  }
  uint32_t phoff = Get32(file + 28), phentsize = Get16(file + 42), phnum = Get16(file + 44);
  if (phentsize != kProgramHeaderBytes || !Inside(phoff, (uint64_t)phnum * phentsize, size)) {
    line->Add("the program headers lie outside the file");
    return false;
  }
  return true;
}

// What the program headers say: the loadable segments (the last one's place
// in `layout`) and the dynamic sections.
struct Segments {
  Layout layout;
  uint32_t loads, vaddr;
  uint32_t dynamics, dyn_at, dyn_bytes;
};

bool ReadSegments(const uint8_t* file, size_t size, Segments* s, Line* line) {
  uint32_t phoff = Get32(file + 28), phentsize = Get16(file + 42), phnum = Get16(file + 44);
  *s = Segments{};
  for (uint32_t i = 0; i < phnum; ++i) {
    const uint8_t* ph = file + phoff + i * phentsize;
    uint32_t type = Get32(ph), offset = Get32(ph + 4), filesz = Get32(ph + 16), memsz = Get32(ph + 20);
    if (!Inside(offset, filesz, size)) {
      line->Add("segment ").Number(i).Add(" lies past the end of the file");
      return false;
    }
    if (type == kLoad) {
      ++s->loads;
      s->layout.segment_offset = offset;
      s->layout.file_bytes = filesz;
      s->layout.memory_bytes = memsz;
      s->vaddr = Get32(ph + 8);
    } else if (type == kDynamic) {
      ++s->dynamics;
      s->dyn_at = Get32(ph + 8);
      s->dyn_bytes = filesz;
    }
  }
  return true;
}

}  // namespace

bool Check(const uint8_t* file, size_t size, Layout* layout, char* why, size_t why_size) {
  Line line(why, why_size);
  Segments s;
  if (!CheckHeader(file, size, &line) || !ReadSegments(file, size, &s, &line)) return false;
  Layout& l = s.layout;
  if (s.loads != 1) {
    if (s.loads == 0)
      line.Add("no loadable segment");
    else
      line.Number(s.loads).Add(" loadable segments; the loader takes one");
    return false;
  }
  if (s.vaddr != 0) {
    line.Add("the loadable segment starts at ").Hex(s.vaddr).Add(", not at address 0");
    return false;
  }
  if (l.file_bytes > l.memory_bytes || l.memory_bytes > kMaxImageBytes || l.memory_bytes == 0) {
    line.Add("the loadable segment has ").Number(l.file_bytes).Add(" bytes on file and ");
    line.Number(l.memory_bytes).Add(" in memory");
    return false;
  }
  if (s.dynamics > 1) {
    line.Number(s.dynamics).Add(" dynamic sections; the loader takes one");
    return false;
  }
  if (s.dynamics == 1) {
    if (!TableInside(l, s.dyn_at, s.dyn_bytes)) {
      line.Add("the dynamic section lies outside the loadable segment");
      return false;
    }
    const uint8_t* segment = file + l.segment_offset;
    Dynamic d;
    if (!ReadDynamic(segment, s.dyn_at, s.dyn_bytes, &d, &line)) return false;
    if (!CheckTables(segment, d, &l, &line)) return false;
  }
  *layout = l;
  return true;
}

bool Relocate(const uint8_t* file, const Layout& layout, uint8_t* memory, uint32_t base, Resolver resolve, void* ctx,
              char* why, size_t why_size) {
  Line line(why, why_size);
  const uint8_t* segment = file + layout.segment_offset;
  for (uint32_t i = 0; i < layout.file_bytes; ++i) memory[i] = segment[i];
  for (uint32_t i = layout.file_bytes; i < layout.memory_bytes; ++i) memory[i] = 0;
  // The tables are read from the file, so that no relocation can change
  // what the next one says.
  return Apply(segment, layout, layout.rel, layout.rel_bytes, memory, base, resolve, ctx, &line) &&
         Apply(segment, layout, layout.jmprel, layout.jmprel_bytes, memory, base, resolve, ctx, &line);
}

bool FindSymbol(const uint8_t* memory, const Layout& layout, const char* name, uint32_t* offset) {
  if (memory == nullptr || name == nullptr) return false;
  for (uint32_t i = 1; i < layout.symbols; ++i) {
    const char* candidate = SymbolName(memory, layout, i);
    if (candidate == nullptr || !NamesEqual(candidate, name)) continue;
    const uint8_t* sym = memory + layout.symtab + i * kSymBytes;
    uint16_t section = Get16(sym + 14);
    uint32_t value = Get32(sym + 4);
    if (section == kUndefined || section == kAbsolute || value >= layout.memory_bytes) continue;
    *offset = value;
    return true;
  }
  return false;
}

}  // namespace sim::elf
