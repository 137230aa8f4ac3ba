// A plain allocator in place of the stand-in's checking one, for measuring the
// lyrics job at the speed a phone's allocator allows: the stand-in fills and
// tracks every block to catch faults, which costs more than the parse itself.
// Linked into lrc_bench_lean only; its definitions take the place of the
// stand-in's for the program's calls.
#include <stdint.h>
#include <stdlib.h>

#include "platform/memory.h"

namespace lean {
uint64_t live_bytes;
uint64_t peak_bytes;
}  // namespace lean

extern "C" void* suAllocMem(uint32_t size, int32_t* error) {
  // The size goes in front of the block, for the statistics at free.
  uint64_t* block = (uint64_t*)malloc(sizeof(uint64_t) + (size == 0 ? 1 : size));
  if (error != nullptr) *error = block == nullptr ? 1 : 0;
  if (block == nullptr) return nullptr;
  block[0] = size;
  lean::live_bytes += size;
  if (lean::live_bytes > lean::peak_bytes) lean::peak_bytes = lean::live_bytes;
  return block + 1;
}

extern "C" void suFreeMem(void* p) {
  if (p == nullptr) return;
  uint64_t* block = (uint64_t*)p - 1;
  lean::live_bytes -= block[0];
  free(block);
}
