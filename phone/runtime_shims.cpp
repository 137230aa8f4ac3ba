// SPDX-License-Identifier: MIT
// Runtime routines that the compiler may call on its own (block copies and
// clears; the ARM division helpers are in arm_division.cpp). An image links
// against nothing, so it carries these and forwards them to the firmware's
// runtime.
#include <stddef.h>

#include "platform/runtime.h"

extern "C" {

__attribute__((visibility("hidden"))) void* memcpy(void* dst, const void* src, size_t n) {
  return __rt_memcpy(dst, src, (uint32_t)n);
}

__attribute__((visibility("hidden"))) void* memmove(void* dst, const void* src, size_t n) {
  unsigned char* d = (unsigned char*)dst;
  const unsigned char* s = (const unsigned char*)src;
  // The firmware's copy makes no promise about overlapping blocks, so it
  // only gets disjoint ones; overlaps are copied here a byte at a time, in
  // the direction that reads every byte before it is overwritten.
  if (d + n <= s || s + n <= d) return __rt_memcpy(dst, src, (uint32_t)n);
  volatile unsigned char* out = d;
  if (d < s) {
    for (size_t i = 0; i < n; ++i) out[i] = s[i];
  } else {
    while (n > 0) {
      --n;
      out[n] = s[n];
    }
  }
  return dst;
}

__attribute__((visibility("hidden"))) void* memset(void* dst, int value, size_t n) {
  if (value == 0) {
    __rt_memclr(dst, (uint32_t)n);
    return dst;
  }
  volatile unsigned char* d = (volatile unsigned char*)dst;
  for (size_t i = 0; i < n; ++i) d[i] = (unsigned char)value;
  return dst;
}

}  // extern "C"
