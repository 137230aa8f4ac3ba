// Runtime routines that the compiler may call on its own (block copies and
// clears, and on ARM the division helpers). An image links against nothing,
// so it carries these and forwards them to the firmware's runtime.
#include <stddef.h>

#include "platform/runtime.h"

extern "C" {

__attribute__((visibility("hidden"))) void* memcpy(void* dst, const void* src, size_t n) {
  return __rt_memcpy(dst, src, (uint32_t)n);
}

__attribute__((visibility("hidden"))) void* memmove(void* dst, const void* src, size_t n) {
  unsigned char* d = (unsigned char*)dst;
  const unsigned char* s = (const unsigned char*)src;
  if (d < s || d >= s + n) return __rt_memcpy(dst, src, (uint32_t)n);
  while (n > 0) {
    --n;
    d[n] = s[n];
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
