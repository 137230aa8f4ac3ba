// SPDX-License-Identifier: MIT
// Fuzz target of the phone-image loader's checks and relocations: a file of
// any bytes is refused with one line, or checked into a layout whose every
// table lies inside the file and relocated without a write outside the
// image's memory. The sanitizers see any read past the file or the tables
// (both lie in blocks of exactly their size).
#include <string.h>

#include <vector>

#include "fuzz/harness.h"
#include "sim/elf_image.h"
#include "sim/service_table.h"

namespace {

using fuzz::Require;

// The stand-in's services, at made-up addresses.
bool Resolve(const char* name, uint32_t* address, void*) {
  if (sim::ServiceAddress(name) == nullptr) return false;
  *address = 0xF0000000u + (uint32_t)strlen(name) * 4;
  return true;
}

bool Inside(uint64_t start, uint64_t bytes, uint64_t limit) {
  return start + bytes <= limit;
}

void RequireOneLine(const char* why, size_t size) {
  size_t length = strnlen(why, size);
  Require(length > 0 && length < size, "a refusal without its line");
  Require(memchr(why, '\n', length) == nullptr, "a refusal of more than one line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sim::elf::Layout l{};
  char why[192];
  memset(why, 0x55, sizeof why);
  if (!sim::elf::Check(data, size, &l, why, sizeof why)) {
    RequireOneLine(why, sizeof why);
    return 0;
  }
  Require(Inside(l.segment_offset, l.file_bytes, size), "the segment lies past the file");
  Require(l.file_bytes <= l.memory_bytes && l.memory_bytes <= sim::elf::kMaxImageBytes, "a segment of no sense");
  Require(Inside(l.rel, l.rel_bytes, l.file_bytes) && Inside(l.jmprel, l.jmprel_bytes, l.file_bytes) &&
              Inside(l.strtab, l.strtab_bytes, l.file_bytes) && Inside(l.symtab, l.symbols * 16ull, l.file_bytes),
          "a table lies outside the segment");

  // Clearing the memory of a large image costs the fuzzer more than the
  // relocations teach it; their bounds are the same at any size.
  if (l.memory_bytes > (1u << 20)) return 0;
  std::vector<uint8_t> memory(l.memory_bytes);
  memset(why, 0x55, sizeof why);
  if (!sim::elf::Relocate(data, l, memory.data(), 0x40000000u, Resolve, nullptr, why, sizeof why)) {
    RequireOneLine(why, sizeof why);
    return 0;
  }
  uint32_t offset = 0;
  if (sim::elf::FindSymbol(memory.data(), l, "Lib", &offset)) Require(offset < l.memory_bytes, "Lib lies outside");
  return 0;
}
