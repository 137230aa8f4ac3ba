// SPDX-License-Identifier: MIT
// UTF-16 (the firmware's text) to and from UTF-8 (host names and driver
// arguments). Both always end the output with a terminator when there is room
// for one, never cut a character in half, and turn malformed input into
// U+FFFD rather than passing it on.
#include "sim/internal.h"
#include "sim/utf8.h"

namespace sim::internal {

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// Decodes one character at s; sets *used to the bytes consumed (at least 1).
uint32_t GetUtf8(const uint8_t* s, size_t* used) {
  uint8_t b = s[0];
  *used = 1;
  if (b < 0x80) return b;
  size_t n;
  uint32_t c, min;
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2, c = b & 0x1F, min = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3, c = b & 0x0F, min = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4, c = b & 0x07, min = 0x10000;
  } else {
    return kReplacement;
  }
  for (size_t i = 1; i < n; ++i) {
    // A terminator here also fails this test, so nothing is read past it.
    if ((s[i] & 0xC0) != 0x80) {
      *used = i;
      return kReplacement;
    }
    c = (c << 6) | (s[i] & 0x3F);
  }
  *used = n;
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
  return c;
}

}  // namespace

size_t Utf16ToUtf8(const WCHAR* s, char* out, size_t out_size) {
  if (out == nullptr || out_size == 0) return 0;
  size_t n = 0;
  if (s != nullptr) {
    for (size_t i = 0; s[i] != 0;) {
      uint32_t c = s[i++];
      if (c >= 0xD800 && c <= 0xDBFF && s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (s[i++] - 0xDC00);
      } else if (c >= 0xD800 && c <= 0xDFFF) {
        c = kReplacement;
      }
      char bytes[kUtf8MaxBytes];
      size_t len = EncodeUtf8(c, bytes);
      if (n + len + 1 > out_size) break;
      for (size_t k = 0; k < len; ++k) out[n++] = bytes[k];
    }
  }
  out[n] = '\0';
  return n;
}

size_t Utf8ToUtf16(const char* s, WCHAR* out, size_t out_units) {
  if (out == nullptr || out_units == 0) return 0;
  size_t n = 0;
  if (s != nullptr) {
    const uint8_t* p = (const uint8_t*)s;
    while (*p != 0) {
      size_t used;
      uint32_t c = GetUtf8(p, &used);
      size_t len = c >= 0x10000 ? 2 : 1;
      if (n + len + 1 > out_units) break;
      if (len == 2) {
        out[n++] = (WCHAR)(0xD800 + ((c - 0x10000) >> 10));
        out[n++] = (WCHAR)(0xDC00 + ((c - 0x10000) & 0x3FF));
      } else {
        out[n++] = (WCHAR)c;
      }
      p += used;
    }
  }
  out[n] = 0;
  return n;
}

}  // namespace sim::internal
