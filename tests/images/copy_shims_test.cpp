// SPDX-License-Identifier: MIT
// The phone image's memcpy, memmove and memset, run on a big-endian ARM
// processor (under qemu-armeb) against a firmware copy routine that refuses
// overlapping blocks, as the firmware promises nothing for them.
// Freestanding: the exit code is the number of wrong cases.
#include <stddef.h>
#include <stdint.h>

extern "C" void* memcpy(void* dst, const void* src, size_t n);
extern "C" void* memmove(void* dst, const void* src, size_t n);
extern "C" void* memset(void* dst, int value, size_t n);

namespace {

int g_overlaps;  // overlapping blocks handed to the firmware

long Syscall3(long number, long a, long b, long c) {
  register long r0 asm("r0") = a;
  register long r1 asm("r1") = b;
  register long r2 asm("r2") = c;
  register long r7 asm("r7") = number;
  asm volatile("svc 0" : "+r"(r0) : "r"(r1), "r"(r2), "r"(r7) : "memory");
  return r0;
}

void Say(const char* text) {
  long n = 0;
  while (text[n] != 0) ++n;
  Syscall3(4, 2, (long)text, n);
}

void Fill(volatile uint8_t* b, int n) {
  for (int i = 0; i < n; ++i) b[i] = (uint8_t)(i + 1);
}

bool Same(const volatile uint8_t* b, const uint8_t* want, int n) {
  for (int i = 0; i < n; ++i)
    if (b[i] != want[i]) return false;
  return true;
}

}  // namespace

extern "C" void* __rt_memcpy(void* dst, const void* src, uint32_t n) {
  volatile uint8_t* d = (volatile uint8_t*)dst;
  const volatile uint8_t* s = (const volatile uint8_t*)src;
  if (!(d + n <= s || s + n <= d)) ++g_overlaps;
  // Copies from the end, so a forward overlap handed to it would be wrong.
  while (n > 0) {
    --n;
    d[n] = s[n];
  }
  return dst;
}

extern "C" void __rt_memclr(void* dst, uint32_t n) {
  volatile uint8_t* d = (volatile uint8_t*)dst;
  for (uint32_t i = 0; i < n; ++i) d[i] = 0;
}

extern "C" void _start() {
  int wrong = 0;
  static uint8_t b[12];
  struct Move {
    int dst, src, n;
    uint8_t want[12];
  } moves[] = {
      {2, 0, 6, {1, 2, 1, 2, 3, 4, 5, 6, 9, 10, 11, 12}},  // forward overlap
      {0, 2, 6, {3, 4, 5, 6, 7, 8, 7, 8, 9, 10, 11, 12}},  // backward overlap
      {6, 0, 4, {1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 11, 12}},   // disjoint
      {3, 3, 5, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},  // onto itself
  };
  for (const Move& m : moves) {
    Fill(b, 12);
    memmove(b + m.dst, b + m.src, (size_t)m.n);
    if (!Same(b, m.want, 12)) {
      Say("memmove gave wrong bytes\n");
      ++wrong;
    }
  }
  Fill(b, 12);
  memcpy(b + 8, b, 4);
  const uint8_t copied[12] = {1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4};
  if (!Same(b, copied, 12)) {
    Say("memcpy gave wrong bytes\n");
    ++wrong;
  }
  Fill(b, 12);
  memset(b + 1, 0, 3);
  memset(b + 6, 0xAB, 2);
  const uint8_t set[12] = {1, 0, 0, 0, 5, 6, 0xAB, 0xAB, 9, 10, 11, 12};
  if (!Same(b, set, 12)) {
    Say("memset gave wrong bytes\n");
    ++wrong;
  }
  if (g_overlaps != 0) {
    Say("overlapping blocks reached the firmware's copy\n");
    ++wrong;
  }
  if (wrong == 0) Say("copy helpers: all cases right\n");
  Syscall3(1, wrong, 0, 0);
  for (;;) {
  }
}
