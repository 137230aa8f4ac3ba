// SPDX-License-Identifier: MIT
// The helpers the ARM compiler calls on its own: integer division (ARMv5 has
// no divide instruction) and block copies and fills. Debian's libgcc and
// newlib for arm-none-eabi are little-endian only, so the box brings its own.
// Nothing here may use "/" or "%", nor a loop the compiler could turn back
// into a call of itself (the box is built without that pattern matching).
#include <stddef.h>
#include <stdint.h>

#include "sim/box/linux_calls.h"

namespace {

// The stand-in's own code never divides by zero on purpose: stop loudly, as
// a host processor would, instead of going on with a made-up quotient.
[[noreturn]] void DividedByZero() {
  static const char kText[] = "zqbox: integer division by zero in the stand-in\n";
  box::sys::Write(2, kText, sizeof kText - 1);
  box::sys::ExitGroup(136);
}

uint32_t Udivmod32(uint32_t n, uint32_t d, uint32_t* rem) {
  if (d == 0) DividedByZero();
  uint32_t q = 0, r = 0;
  if (n != 0) {
    for (int bit = 31 - __builtin_clz(n); bit >= 0; --bit) {
      r = (r << 1) | ((n >> bit) & 1);
      if (r >= d) {
        r -= d;
        q |= 1u << bit;
      }
    }
  }
  *rem = r;
  return q;
}

uint64_t Udivmod64(uint64_t n, uint64_t d, uint64_t* rem) {
  if (d == 0) DividedByZero();
  uint64_t q = 0, r = 0;
  if (n != 0) {
    for (int bit = 63 - __builtin_clzll(n); bit >= 0; --bit) {
      r = (r << 1) | ((n >> bit) & 1);
      if (r >= d) {
        r -= d;
        q |= 1ull << bit;
      }
    }
  }
  *rem = r;
  return q;
}

// A pair of 32-bit results in r0 and r1 is returned as one 64-bit value,
// which AAPCS places as if loaded from memory: on a big-endian processor the
// high half goes to r0.
uint64_t InR0R1(uint32_t r0, uint32_t r1) {
  constexpr uint64_t kHigh = 0x100000000ull;  // one unit of the high half
#if defined(__ARMEB__)
  return (uint64_t)r0 * kHigh + r1;
#else
  return (uint64_t)r1 * kHigh + r0;
#endif
}

}  // namespace

extern "C" {

uint32_t __aeabi_uidiv(uint32_t n, uint32_t d) {
  uint32_t r;
  return Udivmod32(n, d, &r);
}

uint64_t __aeabi_uidivmod(uint32_t n, uint32_t d) {
  uint32_t r;
  uint32_t q = Udivmod32(n, d, &r);
  return InR0R1(q, r);
}

// Quotients round toward zero; a remainder takes the sign of the numerator.
uint64_t __aeabi_idivmod(int32_t n, int32_t d) {
  uint32_t r;
  uint32_t q = Udivmod32(n < 0 ? 0u - (uint32_t)n : (uint32_t)n, d < 0 ? 0u - (uint32_t)d : (uint32_t)d, &r);
  if ((n < 0) != (d < 0)) q = 0u - q;
  if (n < 0) r = 0u - r;
  return InR0R1(q, r);
}

int32_t __aeabi_idiv(int32_t n, int32_t d) {
  uint64_t both = __aeabi_idivmod(n, d);
#if defined(__ARMEB__)
  return (int32_t)(both >> 32);
#else
  return (int32_t)both;
#endif
}

// The 64-bit helpers return the quotient in r0:r1 and the remainder in
// r2:r3, which C cannot say: the assembly below calls these with a fifth
// argument that points at room for the remainder, then loads it.
uint64_t BoxUdivmod64(uint64_t n, uint64_t d, uint64_t* rem) {
  return Udivmod64(n, d, rem);
}

int64_t BoxSdivmod64(int64_t n, int64_t d, int64_t* rem) {
  uint64_t r;
  uint64_t q = Udivmod64(n < 0 ? 0ull - (uint64_t)n : (uint64_t)n, d < 0 ? 0ull - (uint64_t)d : (uint64_t)d, &r);
  if ((n < 0) != (d < 0)) q = 0ull - q;
  if (n < 0) r = 0ull - r;
  *rem = (int64_t)r;
  return (int64_t)q;
}

void* memcpy(void* dst, const void* src, size_t n) {
  auto* d = static_cast<unsigned char*>(dst);
  auto* s = static_cast<const unsigned char*>(src);
  for (size_t i = 0; i < n; ++i) d[i] = s[i];
  return dst;
}

void* memmove(void* dst, const void* src, size_t n) {
  auto* d = static_cast<unsigned char*>(dst);
  auto* s = static_cast<const unsigned char*>(src);
  if (d < s) {
    for (size_t i = 0; i < n; ++i) d[i] = s[i];
  } else {
    for (size_t i = n; i > 0; --i) d[i - 1] = s[i - 1];
  }
  return dst;
}

void* memset(void* dst, int value, size_t n) {
  auto* d = static_cast<unsigned char*>(dst);
  for (size_t i = 0; i < n; ++i) d[i] = (unsigned char)value;
  return dst;
}

int memcmp(const void* a, const void* b, size_t n) {
  auto* x = static_cast<const unsigned char*>(a);
  auto* y = static_cast<const unsigned char*>(b);
  for (size_t i = 0; i < n; ++i)
    if (x[i] != y[i]) return x[i] - y[i];
  return 0;
}

size_t strlen(const char* s) {
  size_t n = 0;
  while (s[n] != '\0') ++n;
  return n;
}

}  // extern "C"

// Stack on the call: 8 bytes saved, then 16 of room (the fifth argument at
// [sp], the remainder at [sp + 8]); sp stays 8-byte aligned throughout. The
// remainder is loaded in memory order, which is the order r2:r3 take it in.
asm(R"(
  .text
  .arm
  .macro box_divmod64 name, helper
  .global \name
  .type \name, %function
\name:
  push {r4, lr}
  sub sp, sp, #16
  add r4, sp, #8
  str r4, [sp]
  bl \helper
  ldr r2, [sp, #8]
  ldr r3, [sp, #12]
  add sp, sp, #16
  pop {r4, lr}
  bx lr
  .size \name, . - \name
  .endm
  box_divmod64 __aeabi_uldivmod, BoxUdivmod64
  box_divmod64 __aeabi_ldivmod, BoxSdivmod64
)");
