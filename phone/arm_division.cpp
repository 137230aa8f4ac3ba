// SPDX-License-Identifier: MIT
// The division helpers the ARM compiler calls for "/" and "%" (ARMv5 has no
// divide instruction). Debian's libgcc for this target is little-endian
// only, so the image carries its own, forwarding to the firmware's
// __rt_udiv. The shims themselves use no "/" or "%", which would call back
// into them.
#include "platform/runtime.h"

namespace {

// A 64-bit result comes back in r0 and r1 as if loaded from memory: on a
// big-endian processor the high word is in r0. The *divmod helpers must
// leave the quotient in r0 and the remainder in r1 on either order.
inline uint64_t InR0R1(uint32_t r0, uint32_t r1) {
#if defined(__ARMEB__)
  return ((uint64_t)r0 << 32) | r1;
#else
  return ((uint64_t)r1 << 32) | r0;
#endif
}

inline uint32_t Magnitude(int32_t v) {
  return v < 0 ? 0u - (uint32_t)v : (uint32_t)v;
}

}  // namespace

extern "C" {

__attribute__((visibility("hidden"))) uint32_t __aeabi_uidiv(uint32_t numerator, uint32_t denominator) {
  return __rt_udiv(denominator, numerator);
}

__attribute__((visibility("hidden"))) uint64_t __aeabi_uidivmod(uint32_t numerator, uint32_t denominator) {
  uint32_t q = __rt_udiv(denominator, numerator);
  return InR0R1(q, numerator - q * denominator);
}

__attribute__((visibility("hidden"))) int32_t __aeabi_idiv(int32_t numerator, int32_t denominator) {
  uint32_t q = __rt_udiv(Magnitude(denominator), Magnitude(numerator));
  // The quotient is negative when exactly one operand is; it rounds toward zero.
  return ((numerator < 0) != (denominator < 0)) ? (int32_t)(0u - q) : (int32_t)q;
}

__attribute__((visibility("hidden"))) uint64_t __aeabi_idivmod(int32_t numerator, int32_t denominator) {
  int32_t q = __aeabi_idiv(numerator, denominator);
  // The remainder takes the sign of the numerator: n == q * d + r.
  uint32_t r = (uint32_t)numerator - (uint32_t)q * (uint32_t)denominator;
  return InR0R1((uint32_t)q, r);
}

}  // extern "C"
