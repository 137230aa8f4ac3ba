// SPDX-License-Identifier: MIT
// One character as UTF-8: the encoder the stand-in, the driver and the host
// tools all write text with. Header only and free of any library, so that the
// box's freestanding build and the tools use the same code.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace sim {

// The most bytes one character takes.
constexpr size_t kUtf8MaxBytes = 4;

// Writes the code point `c` at `out`, which has room for kUtf8MaxBytes bytes,
// and returns how many bytes it took. Code points of four bytes keep their
// low 21 bits; whether a surrogate may be written is the caller's choice.
inline size_t EncodeUtf8(uint32_t c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  const size_t n = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
  const uint8_t lead = n == 2 ? 0xC0 : n == 3 ? 0xE0 : 0xF0;
  for (size_t i = n - 1; i > 0; --i) {
    out[i] = static_cast<char>(0x80 | (c & 0x3F));
    c >>= 6;
  }
  out[0] = static_cast<char>(lead | c);
  return n;
}

}  // namespace sim
