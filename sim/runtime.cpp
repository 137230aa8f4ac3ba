// SPDX-License-Identifier: MIT
// The firmware's runtime routines: copying, clearing and integer division.
// Division by zero gives 0 instead of a trap, so that a program that divides
// by a length it never checked is seen in its output, not as a crash.
#include "platform/runtime.h"

extern "C" {

void* __rt_memcpy(void* dst, const void* src, uint32_t n) {
  if (dst == nullptr || src == nullptr || n == 0) return dst;
  unsigned char* d = (unsigned char*)dst;
  const unsigned char* s = (const unsigned char*)src;
  // Overlapping blocks are copied as if through a buffer, whichever way
  // they overlap.
  if (d > s && d < s + n) {
    while (n > 0) {
      --n;
      d[n] = s[n];
    }
  } else {
    for (uint32_t i = 0; i < n; ++i) d[i] = s[i];
  }
  return dst;
}

void* __rt_memcpy_w(void* dst, const void* src, uint32_t n) {
  return __rt_memcpy(dst, src, n);
}

void __rt_memclr(void* dst, uint32_t n) {
  if (dst == nullptr) return;
  volatile unsigned char* d = (volatile unsigned char*)dst;
  for (uint32_t i = 0; i < n; ++i) d[i] = 0;
}

uint32_t __rt_udiv(uint32_t divisor, uint32_t dividend) {
  return divisor == 0 ? 0 : dividend / divisor;
}

uint32_t __rt_udiv10(uint32_t value) {
  return value / 10;
}

int32_t __rt_sdiv10(int32_t value) {
  return value / 10;
}  // rounds toward zero, as C does

}  // extern "C"
