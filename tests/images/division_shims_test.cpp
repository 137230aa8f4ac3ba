// SPDX-License-Identifier: MIT
// The phone image's division helpers, run on a big-endian ARM processor
// (under qemu-armeb): "/" and "%" on operands the compiler cannot fold turn
// into calls of __aeabi_uidiv, __aeabi_uidivmod, __aeabi_idiv and
// __aeabi_idivmod, which must leave quotient and remainder where the
// compiler expects them. Freestanding: the exit code is the number of wrong
// cases, and each wrong case is printed.
#include <stdint.h>

// The firmware's division, here by shift and subtract (no "/" that would
// call back into the helpers under test).
extern "C" uint32_t __rt_udiv(uint32_t divisor, uint32_t dividend) {
  if (divisor == 0) return 0;
  uint32_t q = 0, r = 0;
  for (int i = 31; i >= 0; --i) {
    r = (r << 1) | ((dividend >> i) & 1);
    if (r >= divisor) {
      r -= divisor;
      q |= 1u << i;
    }
  }
  return q;
}

namespace {

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
  Syscall3(4, 2, (long)text, n);  // write(2, ...)
}

struct Unsigned {
  uint32_t n, d, q, r;
};
struct Signed {
  int32_t n, d, q, r;
};

const Unsigned kUnsigned[] = {
    {100, 7, 14, 2},
    {7, 100, 0, 7},
    {0, 5, 0, 0},
    {0xFFFFFFFFu, 1, 0xFFFFFFFFu, 0},
    {0xFFFFFFFFu, 16, 0x0FFFFFFFu, 15},
    {0x80000000u, 0xFFFFFFFFu, 0, 0x80000000u},
    {12345, 10, 1234, 5},
};
const Signed kSigned[] = {
    {100, 7, 14, 2},
    {-100, 7, -14, -2},
    {100, -7, -14, 2},
    {-100, -7, 14, -2},
    {-7, 100, 0, -7},
    {0, -3, 0, 0},
    {-2147483647 - 1, 1, -2147483647 - 1, 0},
    {2147483647, -1, -2147483647, 0},
    {-2147483647 - 1, 2, -1073741824, 0},
};

}  // namespace

extern "C" void _start() {
  int wrong = 0;
  for (const Unsigned& c : kUnsigned) {
    volatile uint32_t n = c.n, d = c.d;
    uint32_t q = n / d;
    uint32_t r = n % d;  // __aeabi_uidivmod: the remainder comes back in r1
    if (q != c.q || r != c.r) {
      Say("unsigned division gave a wrong quotient or remainder\n");
      ++wrong;
    }
  }
  for (const Signed& c : kSigned) {
    volatile int32_t n = c.n, d = c.d;
    int32_t q = n / d;
    int32_t r = n % d;
    if (q != c.q || r != c.r) {
      Say("signed division gave a wrong quotient or remainder\n");
      ++wrong;
    }
  }
  if (wrong == 0) Say("division helpers: all cases right\n");
  Syscall3(1, wrong, 0, 0);  // exit
  for (;;) {
  }
}
