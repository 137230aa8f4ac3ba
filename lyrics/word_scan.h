// SPDX-License-Identifier: MIT
// Tests and copies of several bytes at once, in one machine word, for the
// converters' runs of bytes that stand for themselves. A word is loaded as it
// lies in memory, and each test only asks whether any of its bytes is of a
// kind, never which one: the answer is the same on either byte order of the
// processor, and the callers find the byte by looking at the bytes again.
#pragma once

#include <stdint.h>

#include "platform/types.h"

namespace word_scan {

using Word = uintptr_t;  // 4 bytes on the phone, 8 on a PC
constexpr uint32_t kBytes = sizeof(Word);
constexpr Word kEachByte = (Word)-1 / 0xFF;  // 0x01 in every byte
constexpr Word kByteTops = kEachByte * 0x80;

inline Word Load(const void* p) {
  Word x;
  __builtin_memcpy(&x, p, sizeof x);
  return x;
}

// The word's worth of bytes at src as units of the same values at dst. The
// compiler's vectors hold their elements in memory order on either byte
// order; where the processor has no vector unit they are plain code.
inline void WidenWord(WCHAR* dst, const uint8_t* src) {
  typedef uint8_t Bytes __attribute__((vector_size(kBytes)));
  typedef uint16_t Units __attribute__((vector_size(2 * kBytes)));
  Bytes bytes;
  __builtin_memcpy(&bytes, src, sizeof bytes);
  const Units units = __builtin_convertvector(bytes, Units);
  __builtin_memcpy(dst, &units, sizeof units);
}

// Nonzero when a byte of x is 0x80 or above.
inline Word AnyHighByte(Word x) {
  return x & kByteTops;
}

// Nonzero when a byte of x lies outside 0x20 to 0xA0. With the top bits
// cleared a byte cannot carry into the next: the sums test what lies below
// them, and the top bit of the byte itself says which sum applies.
inline Word AnyByteOutside20ToA0(Word x) {
  const Word low = x & ~kByteTops;
  const Word above_a0 = (low + kEachByte * 0x5F) & x;     // top bit set, rest 0x21 or more
  const Word below_20 = ~((low + kEachByte * 0x60) | x);  // top bit clear, rest below 0x20
  return (above_a0 | below_20) & kByteTops;
}

}  // namespace word_scan
