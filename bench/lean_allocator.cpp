// SPDX-License-Identifier: MIT
// A plain allocator in place of the stand-in's checking one, for measuring the
// lyrics job at the cost a phone's allocator has: the stand-in fills and
// tracks every block to catch faults, which costs more than the parse itself.
// Linked into lrc_bench_lean and lrc_probe; its definitions take the place of
// the stand-in's for the program's calls. It keeps no statistics: the peak
// memory of a parse is read from the checking allocator (lrc_bench).
#include <stdint.h>
#include <stdlib.h>

#include "platform/memory.h"

extern "C" void* suAllocMem(uint32_t size, int32_t* error) {
  void* block = malloc(size == 0 ? 1 : size);
  if (error != nullptr) *error = block == nullptr ? 1 : 0;
  return block;
}

extern "C" void suFreeMem(void* p) {
  free(p);
}
