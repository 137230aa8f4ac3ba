// Checking and relocating phone images. Every field is read from the bytes
// in big-endian order and every offset is checked against what it points
// into before it is followed, so a malformed file is refused with a reason,
// never followed out of its buffer.
#include "sim/elf_image.h"

namespace sim::elf {
namespace {

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

uint16_t get16(const uint8_t* p) {
  return (uint16_t)((p[0] << 8) | p[1]);
}
uint32_t get32(const uint8_t* p) {
  return ((uint32_t)p[0] << 24) | ((uint32_t)p[1] << 16) | ((uint32_t)p[2] << 8) | p[3];
}
void put32(uint8_t* p, uint32_t v) {
  p[0] = (uint8_t)(v >> 24);
  p[1] = (uint8_t)(v >> 16);
  p[2] = (uint8_t)(v >> 8);
  p[3] = (uint8_t)v;
}

// [start, start + bytes) inside [0, limit), without overflow.
bool inside(uint64_t start, uint64_t bytes, uint64_t limit) {
  return start <= limit && bytes <= limit - start;
}

// One line of text built in the caller's buffer, always terminated.
class Line {
 public:
  Line(char* out, size_t size) : out_(out), size_(out ? size : 0) { add(""); }
  Line& add(const char* text) {
    for (; *text != '\0'; ++text)
      if (used_ + 1 < size_) out_[used_++] = *text;
    if (size_ > 0) out_[used_] = '\0';
    return *this;
  }
  // A name read from the file: a byte below a space or above '~' shows as
  // \xNN, so that the refusal stays one printable line.
  Line& name(const char* text) {
    for (; *text != '\0'; ++text) {
      auto c = (uint8_t)*text;
      if (c >= ' ' && c <= '~') {
        char one[2] = {(char)c, '\0'};
        add(one);
      } else {
        char escaped[5] = {'\\', 'x', "0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 0xF], '\0'};
        add(escaped);
      }
    }
    return *this;
  }
  Line& number(uint32_t v) {
    char digits[11];
    int n = 0;
    do {
      digits[n++] = (char)('0' + v % 10);
      v /= 10;
    } while (v != 0);
    char text[12];
    for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
    text[n] = '\0';
    return add(text);
  }
  Line& hex(uint32_t v) {
    char text[11] = "0x";
    int n = 0;
    for (int shift = 28; shift >= 0; shift -= 4) {
      uint32_t d = (v >> shift) & 0xF;
      if (d == 0 && n == 0 && shift > 0) continue;
      text[2 + n++] = "0123456789abcdef"[d];
    }
    text[2 + n] = '\0';
    return add(text);
  }

 private:
  char* out_;
  size_t size_;
  size_t used_ = 0;
};

// The dynamic tags the loader reads, by tag number (all below this one).
constexpr uint32_t kKnownTags = kPreinitArrayBytes + 1;

struct Dynamic {
  uint32_t value[kKnownTags];
  bool seen[kKnownTags];
};

// A table of `bytes` at image address `at` must lie in the segment's file part.
bool table_inside(const Layout& l, uint32_t at, uint32_t bytes) {
  return inside(at, bytes, l.file_bytes);
}

bool read_dynamic(const uint8_t* segment, uint32_t at, uint32_t bytes, Dynamic* d, Line* why) {
  for (uint32_t i = 0; i < kKnownTags; ++i) {
    d->value[i] = 0;
    d->seen[i] = false;
  }
  for (uint32_t off = 0; off + 8 <= bytes; off += 8) {
    uint32_t tag = get32(segment + at + off);
    uint32_t value = get32(segment + at + off + 4);
    if (tag == kNull) break;
    if (tag == kNeeded) {
      why->add("it needs another library (DT_NEEDED); an image links against nothing");
      return false;
    }
    if (tag == kRela) {
      why->add("it has RELA relocations; the loader applies REL relocations only");
      return false;
    }
    if ((tag == kInit || tag == kInitArray || tag == kInitArrayBytes || tag == kPreinitArrayBytes) && value != 0) {
      why->add("it has constructors to run; the loader runs none");
      return false;
    }
    if (tag < kKnownTags) {
      d->value[tag] = value;
      d->seen[tag] = true;
    }
  }
  return true;
}

bool check_tables(const uint8_t* segment, const Dynamic& d, Layout* l, Line* why) {
  l->rel = d.value[kRel];
  l->rel_bytes = d.seen[kRel] ? d.value[kRelBytesTag] : 0;
  l->jmprel = d.value[kJmpRel];
  l->jmprel_bytes = d.seen[kJmpRel] ? d.value[kPltRelBytes] : 0;
  if (d.seen[kRelEnt] && d.value[kRelEnt] != kRelBytes) {
    why->add("relocation entries of ").number(d.value[kRelEnt]).add(" bytes; the loader takes 8");
    return false;
  }
  if (l->jmprel_bytes != 0 && d.value[kPltRel] != kRel) {
    why->add("procedure linkage relocations of a kind other than REL");
    return false;
  }
  if (!table_inside(*l, l->rel, l->rel_bytes) || l->rel_bytes % kRelBytes != 0) {
    why->add("the relocation table lies outside the loadable segment");
    return false;
  }
  if (!table_inside(*l, l->jmprel, l->jmprel_bytes) || l->jmprel_bytes % kRelBytes != 0) {
    why->add("the procedure linkage relocation table lies outside the loadable segment");
    return false;
  }
  l->strtab = d.value[kStrtab];
  l->strtab_bytes = d.seen[kStrtab] ? d.value[kStrBytes] : 0;
  if (!table_inside(*l, l->strtab, l->strtab_bytes)) {
    why->add("the string table lies outside the loadable segment");
    return false;
  }
  l->symtab = d.value[kSymtab];
  l->symbols = 0;
  if (!d.seen[kSymtab]) return true;
  if (d.seen[kSymEnt] && d.value[kSymEnt] != kSymBytes) {
    why->add("symbol entries of ").number(d.value[kSymEnt]).add(" bytes; the loader takes 16");
    return false;
  }
  // The symbol table does not say how long it is; the hash table's chain
  // count does.
  if (!d.seen[kHash] || !table_inside(*l, d.value[kHash], 8)) {
    why->add("the symbol table has no hash table (DT_HASH) inside the segment to count its symbols");
    return false;
  }
  l->symbols = get32(segment + d.value[kHash] + 4);
  if (l->symbols > l->file_bytes / kSymBytes || !table_inside(*l, l->symtab, l->symbols * kSymBytes)) {
    why->add("the symbol table lies outside the loadable segment");
    return false;
  }
  return true;
}

// The name of symbol `index`, or null when it does not end inside the
// string table.
const char* symbol_name(const uint8_t* segment, const Layout& l, uint32_t index) {
  uint32_t at = get32(segment + l.symtab + index * kSymBytes);
  if (at >= l.strtab_bytes) return nullptr;
  const char* name = (const char*)segment + l.strtab + at;
  for (uint32_t i = 0; at + i < l.strtab_bytes; ++i)
    if (name[i] == '\0') return name;
  return nullptr;
}

bool names_equal(const char* a, const char* b) {
  for (; *a != '\0' && *a == *b; ++a, ++b) {
  }
  return *a == *b;
}

// The value a relocation against symbol `index` stores.
bool symbol_value(const uint8_t* file_segment, const Layout& l, uint32_t index, uint32_t base, Resolver resolve,
                  void* ctx, uint32_t* value, Line* why) {
  if (index == 0) {
    *value = 0;
    return true;
  }
  if (index >= l.symbols) {
    why->add("a relocation names symbol ").number(index).add(" of a table of ").number(l.symbols);
    return false;
  }
  const uint8_t* sym = file_segment + l.symtab + index * kSymBytes;
  uint16_t section = get16(sym + 14);
  if (section == kAbsolute) {
    *value = get32(sym + 4);
    return true;
  }
  if (section != kUndefined) {
    *value = base + get32(sym + 4);
    return true;
  }
  const char* name = symbol_name(file_segment, l, index);
  if (name == nullptr) {
    why->add("symbol ").number(index).add(" has its name outside the string table");
    return false;
  }
  if (resolve == nullptr || !resolve(name, value, ctx)) {
    why->add("it imports ").name(name).add(", which the firmware does not offer");
    return false;
  }
  return true;
}

bool apply(const uint8_t* file_segment, const Layout& l, uint32_t table, uint32_t bytes, uint8_t* memory, uint32_t base,
           Resolver resolve, void* ctx, Line* why) {
  for (uint32_t off = 0; off < bytes; off += kRelBytes) {
    uint32_t where = get32(file_segment + table + off);
    uint32_t info = get32(file_segment + table + off + 4);
    uint8_t type = (uint8_t)(info & 0xFF);
    if (l.memory_bytes < 4 || where > l.memory_bytes - 4) {
      why->add("a relocation at ").hex(where).add(" lies outside the image");
      return false;
    }
    if (type != kRelative && type != kGlobDat && type != kJumpSlot && type != kAbs32) {
      why->add("relocation of type ").number(type).add(" at ").hex(where);
      why->add("; the loader applies R_ARM_RELATIVE, R_ARM_GLOB_DAT, R_ARM_JUMP_SLOT and R_ARM_ABS32 only");
      return false;
    }
    uint8_t* word = memory + where;
    if (type == kRelative) {
      put32(word, get32(word) + base);
      continue;
    }
    uint32_t value = 0;
    if (!symbol_value(file_segment, l, info >> 8, base, resolve, ctx, &value, why)) return false;
    // R_ARM_ABS32 adds to the word the image holds; the other two set it.
    put32(word, type == kAbs32 ? get32(word) + value : value);
  }
  return true;
}

}  // namespace

bool check(const uint8_t* file, size_t size, Layout* layout, char* why, size_t why_size) {
  Line line(why, why_size);
  if (file == nullptr || size < kHeaderBytes) {
    line.add("too short for an ELF header");
    return false;
  }
  if (file[0] != 0x7F || file[1] != 'E' || file[2] != 'L' || file[3] != 'F') {
    line.add("not an ELF file");
    return false;
  }
  if (file[4] != 1) {
    line.add("not a 32-bit ELF file (class ").number(file[4]).add(")");
    return false;
  }
  if (file[5] != 2) {
    line.add("not big-endian (byte order ").number(file[5]).add(")");
    return false;
  }
  if (get16(file + 16) != kTypeShared) {
    line.add("not a shared image (type ").number(get16(file + 16)).add("; the loader takes ET_DYN)");
    return false;
  }
  if (get16(file + 18) != kMachineArm) {
    line.add("not for ARM (machine ").number(get16(file + 18)).add(")");
    return false;
  }
  uint32_t phoff = get32(file + 28);
  uint32_t phentsize = get16(file + 42);
  uint32_t phnum = get16(file + 44);
  if (phentsize != kProgramHeaderBytes || !inside(phoff, (uint64_t)phnum * phentsize, size)) {
    line.add("the program headers lie outside the file");
    return false;
  }
  Layout l{};
  uint32_t loads = 0, dynamics = 0, dyn_at = 0, dyn_bytes = 0, vaddr = 0;
  for (uint32_t i = 0; i < phnum; ++i) {
    const uint8_t* ph = file + phoff + i * phentsize;
    uint32_t type = get32(ph), offset = get32(ph + 4), filesz = get32(ph + 16), memsz = get32(ph + 20);
    if (!inside(offset, filesz, size)) {
      line.add("segment ").number(i).add(" lies past the end of the file");
      return false;
    }
    if (type == kLoad) {
      ++loads;
      l.segment_offset = offset;
      l.file_bytes = filesz;
      l.memory_bytes = memsz;
      vaddr = get32(ph + 8);
    } else if (type == kDynamic) {
      ++dynamics;
      dyn_at = get32(ph + 8);
      dyn_bytes = filesz;
    }
  }
  if (loads != 1) {
    if (loads == 0)
      line.add("no loadable segment");
    else
      line.number(loads).add(" loadable segments; the loader takes one");
    return false;
  }
  if (vaddr != 0) {
    line.add("the loadable segment starts at ").hex(vaddr).add(", not at address 0");
    return false;
  }
  if (l.file_bytes > l.memory_bytes || l.memory_bytes > kMaxImageBytes || l.memory_bytes == 0) {
    line.add("the loadable segment has ").number(l.file_bytes).add(" bytes on file and ");
    line.number(l.memory_bytes).add(" in memory");
    return false;
  }
  if (dynamics > 1) {
    line.number(dynamics).add(" dynamic sections; the loader takes one");
    return false;
  }
  if (dynamics == 1) {
    if (!table_inside(l, dyn_at, dyn_bytes)) {
      line.add("the dynamic section lies outside the loadable segment");
      return false;
    }
    const uint8_t* segment = file + l.segment_offset;
    Dynamic d;
    if (!read_dynamic(segment, dyn_at, dyn_bytes, &d, &line)) return false;
    if (!check_tables(segment, d, &l, &line)) return false;
  }
  *layout = l;
  return true;
}

bool relocate(const uint8_t* file, const Layout& layout, uint8_t* memory, uint32_t base, Resolver resolve, void* ctx,
              char* why, size_t why_size) {
  Line line(why, why_size);
  const uint8_t* segment = file + layout.segment_offset;
  for (uint32_t i = 0; i < layout.file_bytes; ++i) memory[i] = segment[i];
  for (uint32_t i = layout.file_bytes; i < layout.memory_bytes; ++i) memory[i] = 0;
  // The tables are read from the file, so that no relocation can change
  // what the next one says.
  return apply(segment, layout, layout.rel, layout.rel_bytes, memory, base, resolve, ctx, &line) &&
         apply(segment, layout, layout.jmprel, layout.jmprel_bytes, memory, base, resolve, ctx, &line);
}

bool find_symbol(const uint8_t* memory, const Layout& layout, const char* name, uint32_t* offset) {
  if (memory == nullptr || name == nullptr) return false;
  for (uint32_t i = 1; i < layout.symbols; ++i) {
    const char* candidate = symbol_name(memory, layout, i);
    if (candidate == nullptr || !names_equal(candidate, name)) continue;
    const uint8_t* sym = memory + layout.symtab + i * kSymBytes;
    uint16_t section = get16(sym + 14);
    uint32_t value = get32(sym + 4);
    if (section == kUndefined || section == kAbsolute || value >= layout.memory_bytes) continue;
    *offset = value;
    return true;
  }
  return false;
}

}  // namespace sim::elf
