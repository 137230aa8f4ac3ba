// SPDX-License-Identifier: MIT
// The decoders zqlrc reads and writes text with, behind one small interface:
// on the host the C library's iconv, in the page the browser's own decoders
// (TextDecoder) and the phone's GB2312 table. Encodings are named as iconv
// names them ("UTF-8", "GB2312", "Big5", "Shift_JIS", "ISO-8859-1", ...).
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace zqlrc {

// Decodes `size` bytes in `encoding`. False when a byte does not read (or a
// sequence is cut off by the end): *text then holds what was decoded before
// it. *known is false, and nothing is decoded, when the encoding is unknown.
bool DecodeBytes(const char* encoding, const uint8_t* bytes, size_t size, std::u32string* text, bool* known);

// True when DecodeBytes knows `encoding`.
bool KnowsEncoding(const char* encoding);

// The two bytes of `c` in GB2312, each A1 or above; false when it has none.
bool Gb2312Pair(char32_t c, uint8_t pair[2]);

}  // namespace zqlrc
