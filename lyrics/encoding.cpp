// SPDX-License-Identifier: MIT
// Detection of a lyrics file's encoding by its byte-order mark, and the
// converters of UTF-8 and UTF-16 to 16-bit text. GB2312 is in gb2312.cpp.
//
// Positions and counts are 16 bits wide, as the lyrics buffer is. No converter
// reads past `len`: a character cut off by the end of the input is dropped.
#include "lyrics/encoding.h"

#include "lyrics/word_scan.h"

uint8_t GetCodeType(const uint8_t* bytes, uint16_t len) {
  // A mark counts only when all of its bytes are present.
  if (bytes == nullptr || len == 0) return kCodeNoText;
  if (len < 2) return kCodeGB2312;
  if (bytes[0] == 0x00 && bytes[1] == 0x00) return kCodeNoText;
  if (bytes[0] == 0xFF && bytes[1] == 0xFE) return kCodeUtf16Le;
  if (bytes[0] == 0xFE && bytes[1] == 0xFF) return kCodeUtf16Be;
  if (len >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) return kCodeUtf8;
  return kCodeGB2312;
}

namespace {

using word_scan::kBytes;

// Widens the run of ASCII bytes that starts at s (s[0] is one) into d and
// moves both past it. A word at a time while a whole word is left: its bytes
// are widened before the word is tested, and when a byte of it is not ASCII
// the run ends inside it, where the units past the run are written over by
// what follows (d never gets ahead of s, so they lie inside dst).
inline void WidenAsciiRun(WCHAR*& d, const uint8_t*& s, const uint8_t* end) {
  WCHAR* dw = d;
  const uint8_t* sw = s;
  for (; (uint32_t)(end - sw) >= kBytes; sw += kBytes, dw += kBytes) {
    const word_scan::Word x = word_scan::Load(sw);
    word_scan::WidenWord(dw, sw);
    if (word_scan::AnyHighByte(x)) {
      while (sw[0] < 0x80) {
        ++sw;
        ++dw;
      }
      d = dw;
      s = sw;
      return;
    }
  }
  for (; sw < end && sw[0] < 0x80; ++sw) *dw++ = sw[0];
  d = dw;
  s = sw;
}

}  // namespace

uint16_t UTF8ToUBE(WCHAR* dst, const uint8_t* src, uint16_t len) {
  const uint8_t* s = src;
  const uint8_t* const end = src + len;
  WCHAR* d = dst;
  while (s < end) {
    uint32_t b = s[0];
    if (b < 0x80) {
      // Runs of ASCII are the common case of LRC text: tags, digits, English.
      WidenAsciiRun(d, s, end);
      continue;
    }
    if (b - 0xE0u < 0x10u) {
      // Runs of three-byte forms (Chinese text) while a whole form is left.
      // The unit keeps the low 16 bits: the lead byte's top nibble falls off.
      if (end - s >= 3) {
        for (const uint8_t* const last = end - 3; s <= last && (b = s[0]) - 0xE0u < 0x10u; s += 3) {
          *d++ = (WCHAR)((b << 12) | ((s[1] & 0x3Fu) << 6) | (s[2] & 0x3Fu));
        }
      }
      if (s < end && s[0] - 0xE0u < 0x10u) ++s;  // cut off by the end: dropped
      continue;
    }
    if (b - 0xC0u < 0x20u && end - s >= 2) {
      *d++ = (WCHAR)(((b & 0x1F) << 6) | (s[1] & 0x3Fu));
      s += 2;
      continue;
    }
    // Continuation bytes on their own, the bytes of four-byte forms, and a
    // lead byte whose continuation the end has cut off: dropped one by one.
    ++s;
  }
  return (uint16_t)(d - dst);
}

// UTF-16 with the byte order given; the units are assembled from their bytes,
// so the result is the same on either order of the processor.
uint16_t ULEToUBE(WCHAR* dst, const uint8_t* src, uint16_t len) {
  const uint32_t units = len / 2u;
  for (uint32_t k = 0; k < units; ++k) dst[k] = (WCHAR)(src[2 * k] | (src[2 * k + 1] << 8));
  return (uint16_t)units;
}

uint16_t UBEToUBE(WCHAR* dst, const uint8_t* src, uint16_t len) {
  const uint32_t units = len / 2u;
  for (uint32_t k = 0; k < units; ++k) dst[k] = (WCHAR)((src[2 * k] << 8) | src[2 * k + 1]);
  return (uint16_t)units;
}
