// SPDX-License-Identifier: MIT
// The firmware's allocator, with bookkeeping: every block the program holds is
// in a fixed table, so that a double free or a pointer the allocator never
// handed out is caught and reported instead of corrupting the host heap, and
// the blocks an image leaves behind are found at its unload. Every block sits
// between guard bytes, checked when it is freed (and at the unload for the
// blocks an image left behind), so that writing past either end of a block is
// reported in every build, not only under a sanitizer.
#include "platform/memory.h"

#include <stdarg.h>

#include "sim/driver.h"
#include "sim/internal.h"
#include "sim/port.h"

// Under AddressSanitizer the guards and the blocks held back after their free
// are poisoned, so that the faulty access itself is reported at once. The
// header comes with the sanitizer's compiler; the box never builds with it.
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define ZQ_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define ZQ_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
#define ZQ_POISON(p, n) ((void)(p), (void)(n))
#define ZQ_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace {

constexpr uint32_t kMaxLiveBlocks = 8192;
constexpr uint32_t kTableSlots = 16384;  // power of two, twice the live limit
constexpr uint32_t kMaxReportedLeaks = 256;
constexpr uint32_t kRecentlyFreed = 256;  // freed blocks held back from reuse
constexpr uint8_t kGarbage = 0xA5;        // new blocks are not cleared on the phone either
constexpr uint8_t kFreed = 0xDD;
constexpr uint8_t kGuard = 0xFD;
// The guard in front keeps the block as aligned as the host's memory; the one
// behind reaches from the block's end to the next multiple of kGuardBytes and
// one more kGuardBytes, so that it ends aligned too (ASan poisons whole
// granules of 8 bytes).
constexpr uint32_t kGuardBytes = 16;

struct Block {
  void* ptr;  // null: empty slot
  uint32_t size;
  uint32_t serial;  // which suAllocMem call made it, counted from reset
  bool image;       // allocated while an image was loaded
};

struct Leak {
  uint32_t size;
  uint32_t serial;
};

Block g_blocks[kTableSlots];
sim::MemoryStats g_stats;
uint32_t g_calls;        // suAllocMem calls since reset
uint32_t g_fail_in;      // calls until the injected failure; 0 = none
uint32_t g_fail_one_in;  // random failures: about one call in this many; 0 = none
uint32_t g_fail_draw;    // the state of their generator (xorshift32), never 0
bool g_image_loaded;
uint32_t g_leaks;  // blocks left behind at the last unload
uint64_t g_leaked_bytes;
Leak g_leak_list[kMaxReportedLeaks];
struct Held {
  void* ptr;
  uint32_t size;
};
Held g_freed[kRecentlyFreed];
uint32_t g_freed_next;

// Whether this call fails at random: the generator is the driver's seed
// worked on, so that a run with random failures can be replayed.
bool RandomFailure() {
  if (g_fail_one_in == 0) return false;
  g_fail_draw ^= g_fail_draw << 13;
  g_fail_draw ^= g_fail_draw >> 17;
  g_fail_draw ^= g_fail_draw << 5;
  return g_fail_draw % g_fail_one_in == 0;
}

// Guard bytes behind a block of `size` bytes.
size_t TailBytes(uint32_t size) {
  return kGuardBytes + (kGuardBytes - size % kGuardBytes) % kGuardBytes;
}

// The host memory of a block: its front guard, the block, its rear guard.
uint8_t* HostStart(void* block) {
  return (uint8_t*)block - kGuardBytes;
}
size_t HostBytes(uint32_t size) {
  return kGuardBytes + (size_t)size + TailBytes(size);
}

void SetGuards(uint8_t* block, uint32_t size) {
  __builtin_memset(block - kGuardBytes, kGuard, kGuardBytes);
  __builtin_memset(block + size, kGuard, TailBytes(size));
  ZQ_POISON(block - kGuardBytes, kGuardBytes);
  ZQ_POISON(block + size, TailBytes(size));
}

uint32_t SlotOf(const void* p) {
  uintptr_t v = (uintptr_t)p;
  v ^= v >> 17;
  v *= (uintptr_t)0x9E3779B97F4A7C15ull;
  v ^= v >> 29;
  return (uint32_t)v & (kTableSlots - 1);
}

// Linear probing; returns the slot holding p, or kTableSlots.
uint32_t Find(const void* p) {
  uint32_t i = SlotOf(p);
  for (uint32_t n = 0; n < kTableSlots; ++n, i = (i + 1) & (kTableSlots - 1)) {
    if (g_blocks[i].ptr == p) return i;
    if (g_blocks[i].ptr == nullptr) return kTableSlots;
  }
  return kTableSlots;
}

void Insert(const Block& b) {
  uint32_t i = SlotOf(b.ptr);
  while (g_blocks[i].ptr != nullptr) i = (i + 1) & (kTableSlots - 1);
  g_blocks[i] = b;
}

// Removes slot i and moves later members of its probe run back, so that
// lookups never need tombstones.
void Erase(uint32_t i) {
  g_blocks[i].ptr = nullptr;
  uint32_t j = i;
  for (;;) {
    j = (j + 1) & (kTableSlots - 1);
    if (g_blocks[j].ptr == nullptr) return;
    uint32_t home = SlotOf(g_blocks[j].ptr);
    // Move j into the hole at i unless its home lies cyclically in (i, j].
    bool stays = (i <= j) ? (i < home && home <= j) : (i < home || home <= j);
    if (!stays) {
      g_blocks[i] = g_blocks[j];
      g_blocks[j].ptr = nullptr;
      i = j;
    }
  }
}

// A small formatter for the reports: %s, %u and %p only.
size_t Format(char* out, size_t out_size, const char* fmt, va_list args) {
  size_t n = 0;
  auto put = [&](char c) {
    if (n + 1 < out_size) out[n] = c;
    ++n;
  };
  for (const char* f = fmt; *f != '\0'; ++f) {
    if (*f != '%' || f[1] == '\0') {
      put(*f);
      continue;
    }
    ++f;
    if (*f == 's') {
      for (const char* s = va_arg(args, const char*); *s != '\0'; ++s) put(*s);
    } else if (*f == 'u' || *f == 'p') {
      uint64_t v = (*f == 'u') ? (uint64_t)va_arg(args, uint32_t) : (uint64_t)(uintptr_t)va_arg(args, void*);
      unsigned base = (*f == 'u') ? 10 : 16;
      if (base == 16) {
        put('0');
        put('x');
      }
      char digits[24];
      int d = 0;
      do {
        digits[d++] = "0123456789abcdef"[v % base];
        v /= base;
      } while (v != 0);
      while (d > 0) put(digits[--d]);
    } else {
      put(*f);
    }
  }
  if (out_size > 0) out[n < out_size ? n : out_size - 1] = '\0';
  return n;
}

// Formats one line; returns the length kept in `out` (cut to fit).
size_t FormatLine(char* out, size_t out_size, const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  size_t n = Format(out, out_size, fmt, args);
  va_end(args);
  return n < out_size ? n : out_size - 1;
}

void Complain(const char* fmt, ...) {
  char line[256];
  va_list args;
  va_start(args, fmt);
  size_t n = Format(line, sizeof line, fmt, args);
  va_end(args);
  if (n >= sizeof line) n = sizeof line - 1;
  sim::port::WriteErr(line, n);
}

bool RecentlyFreed(const void* p) {
  for (uint32_t i = 0; i < kRecentlyFreed; ++i)
    if (g_freed[i].ptr == p) return true;
  return false;
}

bool AllGuard(const uint8_t* bytes, size_t n) {
  for (size_t k = 0; k < n; ++k)
    if (bytes[k] != kGuard) return false;
  return true;
}

// Reports a block whose guards were written: the program wrote before its
// start or past its end. The block is still released as asked.
void CheckGuards(const Block& b, const char* when) {
  uint8_t* block = (uint8_t*)b.ptr;
  ZQ_UNPOISON(block - kGuardBytes, kGuardBytes);
  ZQ_UNPOISON(block + b.size, TailBytes(b.size));
  bool front = AllGuard(block - kGuardBytes, kGuardBytes);
  bool rear = AllGuard(block + b.size, TailBytes(b.size));
  if (front && rear) return;
  g_stats.overruns++;
  Complain("%s: block %p of %u bytes from allocation %u was written %s\n", when, b.ptr, b.size, b.serial,
           !front && !rear ? "before its start and past its end"
           : !front        ? "before its start"
                           : "past its end");
}

// Freed blocks are held back for a while before the host gets them again:
// a second free of the same block is then surely recognised as such (the
// address cannot have been handed out anew), and a program that still reads
// a freed block reads the freed pattern.
void ReleaseSlot(uint32_t i, const char* when) {
  Block b = g_blocks[i];
  Erase(i);
  CheckGuards(b, when);
  g_stats.live_blocks--;
  g_stats.live_bytes -= b.size;
  __builtin_memset(b.ptr, kFreed, b.size);
  ZQ_POISON(HostStart(b.ptr), HostBytes(b.size));
  Held& oldest = g_freed[g_freed_next];
  if (oldest.ptr != nullptr) {
    ZQ_UNPOISON(HostStart(oldest.ptr), HostBytes(oldest.size));
    sim::port::Release(HostStart(oldest.ptr));
  }
  oldest = Held{b.ptr, b.size};
  g_freed_next = (g_freed_next + 1) % kRecentlyFreed;
}

}  // namespace

extern "C" void* suAllocMem(uint32_t size, int32_t* error) {
  ++g_calls;
  bool inject = false;
  if (g_fail_in != 0 && --g_fail_in == 0) inject = true;
  if (RandomFailure()) inject = true;
  uint8_t* p = nullptr;
  // Where sizes are 32 bits wide (the box), a size near 4 GiB would wrap
  // around with its guards added.
  bool fits = (uint64_t)HostBytes(size) == (uint64_t)kGuardBytes + size + TailBytes(size);
  if (!inject && fits && g_stats.live_blocks < kMaxLiveBlocks) p = (uint8_t*)sim::port::Allocate(HostBytes(size));
  if (p != nullptr) p += kGuardBytes;
  if (p == nullptr) {
    if (!inject) Complain("suAllocMem: no memory for %u bytes (call %u)\n", size, g_calls);
    g_stats.failed++;
    if (error != nullptr) *error = 1;
    return nullptr;
  }
  // A whole-block fill, not a byte loop: the allocator sits on the lyrics
  // parser's path, whose speed is measured with it.
  __builtin_memset(p, kGarbage, size);
  SetGuards(p, size);
  Insert(Block{p, size, g_calls, g_image_loaded});
  g_stats.allocations++;
  g_stats.live_blocks++;
  g_stats.live_bytes += size;
  if (g_stats.live_blocks > g_stats.peak_blocks) g_stats.peak_blocks = g_stats.live_blocks;
  if (g_stats.live_bytes > g_stats.peak_bytes) g_stats.peak_bytes = g_stats.live_bytes;
  if (error != nullptr) *error = 0;
  return p;
}

extern "C" void suFreeMem(void* block) {
  if (block == nullptr) return;
  uint32_t i = Find(block);
  if (i == kTableSlots) {
    g_stats.bad_frees++;
    if (RecentlyFreed(block))
      Complain("suFreeMem: block %p freed twice\n", block);
    else
      Complain("suFreeMem: %p was never handed out by suAllocMem\n", block);
    return;
  }
  ReleaseSlot(i, "suFreeMem");
}

namespace sim {

MemoryStats GetMemoryStats() {
  return g_stats;
}

void FailAllocation(uint32_t nth) {
  g_fail_in = nth;
}

void FailAllocationsAtRandom(uint32_t one_in, uint32_t seed) {
  g_fail_one_in = one_in;
  // xorshift32 never leaves 0; the seed's bits are spread so that close
  // seeds give unrelated runs.
  g_fail_draw = (seed ^ 0x9E3779B9u) * 0x85EBCA6Bu;
  if (g_fail_draw == 0) g_fail_draw = 1;
}

uint32_t LeakedBlocks() {
  return g_leaks;
}

size_t LeakReport(char* out, size_t out_size) {
  if (out == nullptr) out_size = 0;
  size_t n = 0;
  auto append = [&](const char* line, size_t len) {
    for (size_t k = 0; k < len; ++k, ++n)
      if (n + 1 < out_size) out[n] = line[k];
  };
  char line[96];
  append(line, FormatLine(line, sizeof line, "%u blocks leaked, %u bytes\n", g_leaks, (uint32_t)g_leaked_bytes));
  uint32_t listed = g_leaks < kMaxReportedLeaks ? g_leaks : kMaxReportedLeaks;
  for (uint32_t k = 0; k < listed; ++k)
    append(line, FormatLine(line, sizeof line, "  %u bytes from allocation %u\n", g_leak_list[k].size,
                            g_leak_list[k].serial));
  if (listed < g_leaks) append(line, FormatLine(line, sizeof line, "  and %u more\n", g_leaks - listed));
  if (out_size > 0) out[n < out_size ? n : out_size - 1] = '\0';
  return n;
}

namespace internal {

void MemoryReset() {
  for (uint32_t i = 0; i < kTableSlots; ++i) {
    if (g_blocks[i].ptr != nullptr) {
      ZQ_UNPOISON(HostStart(g_blocks[i].ptr), HostBytes(g_blocks[i].size));
      port::Release(HostStart(g_blocks[i].ptr));
    }
    g_blocks[i] = Block{};
  }
  g_stats = MemoryStats{};
  g_calls = 0;
  g_fail_in = 0;
  g_fail_one_in = 0;
  g_image_loaded = false;
  g_leaks = 0;
  g_leaked_bytes = 0;
  for (uint32_t i = 0; i < kRecentlyFreed; ++i) {
    if (g_freed[i].ptr != nullptr) {
      ZQ_UNPOISON(HostStart(g_freed[i].ptr), HostBytes(g_freed[i].size));
      port::Release(HostStart(g_freed[i].ptr));
    }
    g_freed[i] = Held{};
  }
  g_freed_next = 0;
}

void MemoryImageLoaded() {
  g_image_loaded = true;
  g_leaks = 0;
  g_leaked_bytes = 0;
}

void MemoryImageUnloaded() {
  g_image_loaded = false;
  g_leaks = 0;
  g_leaked_bytes = 0;
  for (uint32_t i = 0; i < kTableSlots; ++i) {
    const Block& b = g_blocks[i];
    if (b.ptr == nullptr || !b.image) continue;
    if (g_leaks < kMaxReportedLeaks) g_leak_list[g_leaks] = Leak{b.size, b.serial};
    g_leaks++;
    g_leaked_bytes += b.size;
  }
  // The report lists the blocks in the order they were allocated.
  uint32_t listed = g_leaks < kMaxReportedLeaks ? g_leaks : kMaxReportedLeaks;
  for (uint32_t k = 1; k < listed; ++k) {
    Leak x = g_leak_list[k];
    uint32_t j = k;
    for (; j > 0 && g_leak_list[j - 1].serial > x.serial; --j) g_leak_list[j] = g_leak_list[j - 1];
    g_leak_list[j] = x;
  }
  // Erasing shifts later entries back into the freed slot, so look at the
  // same slot again after each release.
  for (uint32_t i = 0; i < kTableSlots;) {
    if (g_blocks[i].ptr != nullptr && g_blocks[i].image)
      ReleaseSlot(i, "unload");
    else
      ++i;
  }
}

}  // namespace internal
}  // namespace sim
