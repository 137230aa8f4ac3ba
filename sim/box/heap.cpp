// SPDX-License-Identifier: MIT
// The box's memory for the firmware allocator's blocks: size classes of
// powers of two carved from anonymous mappings, freed blocks kept on one list
// per class; blocks beyond the largest class get a mapping of their own. The
// tracking allocator (sim/memory.cpp) above this does the checking.
#include "sim/box/linux_calls.h"
#include "sim/port.h"

namespace {

constexpr uint32_t kChunkBytes = 1u << 20;
constexpr int kClasses = 13;  // 16 bytes up to 64 KiB
constexpr uint32_t kLargestClassBytes = 16u << (kClasses - 1);
constexpr uint32_t kHeaderBytes = 8;  // keeps blocks 8-byte aligned
constexpr uint32_t kMagic = 0x5A51B0C5;
constexpr uint32_t kLarge = 0xFFFFFFFF;

struct Header {
  uint32_t size_class;  // kLarge: its own mapping of `mapped` bytes
  uint32_t magic;
};
struct LargeHeader {
  uint32_t mapped;
  uint32_t pad;
  Header header;
};

struct FreeBlock {
  FreeBlock* next;
};

FreeBlock* g_free[kClasses];
uint8_t* g_chunk;
uint32_t g_chunk_left;

uint32_t RoundToPages(uint32_t bytes) {
  return (bytes + box::sys::kPageBytes - 1) & ~(box::sys::kPageBytes - 1);
}

void* Map(uint32_t bytes) {
  using namespace box::sys;
  return Mmap(nullptr, bytes, kProtRead | kProtWrite, kMapPrivate);
}

void* Carve(int size_class) {
  uint32_t need = kHeaderBytes + (16u << size_class);
  if (g_chunk_left < need) {
    // The rest of the old chunk is left unused: at most one block's worth.
    auto* chunk = static_cast<uint8_t*>(Map(kChunkBytes));
    if (chunk == nullptr) return nullptr;
    g_chunk = chunk;
    g_chunk_left = kChunkBytes;
  }
  auto* header = reinterpret_cast<Header*>(g_chunk);
  g_chunk += need;
  g_chunk_left -= need;
  header->size_class = (uint32_t)size_class;
  header->magic = kMagic;
  return header + 1;
}

}  // namespace

namespace sim::port {

void* Allocate(size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (bytes > kLargestClassBytes) {
    if (bytes > 0x7FFFFFFF - box::sys::kPageBytes) return nullptr;
    uint32_t mapped = RoundToPages((uint32_t)bytes + sizeof(LargeHeader));
    auto* large = static_cast<LargeHeader*>(Map(mapped));
    if (large == nullptr) return nullptr;
    large->mapped = mapped;
    large->header = Header{kLarge, kMagic};
    return large + 1;
  }
  int size_class = 0;
  while ((16u << size_class) < bytes) ++size_class;
  if (FreeBlock* block = g_free[size_class]) {
    g_free[size_class] = block->next;
    return block;
  }
  return Carve(size_class);
}

void Release(void* block) {
  if (block == nullptr) return;
  Header* header = static_cast<Header*>(block) - 1;
  // Only blocks of this heap come here: the tracking allocator checks every
  // pointer against what it handed out before it lets one go.
  if (header->magic != kMagic) return;
  if (header->size_class == kLarge) {
    LargeHeader* large = static_cast<LargeHeader*>(block) - 1;
    box::sys::Munmap(large, large->mapped);
    return;
  }
  auto* free_block = static_cast<FreeBlock*>(block);
  free_block->next = g_free[header->size_class];
  g_free[header->size_class] = free_block;
}

}  // namespace sim::port
