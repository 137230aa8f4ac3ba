// SPDX-License-Identifier: MIT
// Guessing the encoding of text that carries no byte-order mark and is not
// UTF-8: the candidates a charset detector sees in the bytes, most likely
// first, each with its confidence from 0 to 100. One small interface, so that
// the detector behind it can change and other callers can use it.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace zqlrc {

struct EncodingGuess {
  std::string name;  // as the C library's iconv knows it: "Big5", "Shift_JIS", "GB18030"
  int confidence = 0;
};

// The detector's candidates for `bytes`, best first; none when it has none.
// UTF-16 and UTF-32 candidates are left out: text in them holds zero bytes,
// which a lyrics file without its mark cannot be read with.
std::vector<EncodingGuess> GuessEncodings(const uint8_t* bytes, size_t size);

}  // namespace zqlrc
