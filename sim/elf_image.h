// SPDX-License-Identifier: MIT
// Phone program images: 32-bit big-endian ARM ELF shared objects with one
// loadable segment, entered at their first byte. Checking and relocating work
// on plain bytes and read every word in the image's own byte order, so they
// run the same on any host (and are tested there); mapping the memory and
// entering the image is the big-endian box's part.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace sim::elf {

// The largest image the loader takes: the program is a few tens of KiB.
constexpr uint32_t kMaxImageBytes = 16u << 20;

// What the check found. Addresses are offsets into the image as it lies in
// memory; every table lies inside the part of the segment that is on file.
struct Layout {
  uint32_t segment_offset;        // where the segment starts in the file
  uint32_t file_bytes;            // its bytes on file
  uint32_t memory_bytes;          // its bytes in memory; the rest is cleared
  uint32_t rel, rel_bytes;        // relocations
  uint32_t jmprel, jmprel_bytes;  // relocations of the procedure linkage table
  uint32_t symtab, symbols;
  uint32_t strtab, strtab_bytes;
};

// Checks a whole image file. On refusal `why` receives one line naming what
// is wrong; nothing outside file[0, size) is read.
bool Check(const uint8_t* file, size_t size, Layout* layout, char* why, size_t why_size);

// The address of an import, by name; false when the firmware lacks it.
typedef bool (*Resolver)(const char* name, uint32_t* address, void* ctx);

// Copies the checked segment into `memory` (layout.memory_bytes bytes, which
// the image will see at address `base`), clears the rest and applies the
// relocations: R_ARM_RELATIVE, R_ARM_GLOB_DAT, R_ARM_JUMP_SLOT, R_ARM_ABS32.
// Any other relocation, and an import `resolve` does not know, is refused
// with one line in `why`.
bool Relocate(const uint8_t* file, const Layout& layout, uint8_t* memory, uint32_t base, Resolver resolve, void* ctx,
              char* why, size_t why_size);

// The offset in the image of a symbol it defines (e.g. "Lib", "player");
// false when it defines none of that name.
bool FindSymbol(const uint8_t* memory, const Layout& layout, const char* name, uint32_t* offset);

}  // namespace sim::elf
