// Detection of a lyrics file's encoding by its byte-order mark, and the
// converters of UTF-8 and UTF-16 to 16-bit text. GB2312 is in gb2312.cpp.
//
// Positions and counts are 16 bits wide, as the lyrics buffer is. No converter
// reads past `len`: a character cut off by the end of the input is dropped.
#include "lyrics/encoding.h"

uint8_t GetCodeType(const uint8_t* bytes, uint16_t len) {
  // A mark counts only when all of its bytes are present.
  if (bytes == nullptr || len == 0) return CODE_NO_TEXT;
  if (len < 2) return CODE_GB2312;
  if (bytes[0] == 0x00 && bytes[1] == 0x00) return CODE_NO_TEXT;
  if (bytes[0] == 0xFF && bytes[1] == 0xFE) return CODE_UTF16LE;
  if (bytes[0] == 0xFE && bytes[1] == 0xFF) return CODE_UTF16BE;
  if (len >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) return CODE_UTF8;
  return CODE_GB2312;
}

namespace {

// The end of the run of ASCII bytes that starts at s: four bytes a step while
// four are left, then one by one.
inline const uint8_t* AsciiRunEnd(const uint8_t* s, const uint8_t* end) {
  if (end - s >= 4) {
    for (const uint8_t* const last = end - 4; s <= last; s += 4) {
      if (s[0] >= 0x80) return s;
      if (s[1] >= 0x80) return s + 1;
      if (s[2] >= 0x80) return s + 2;
      if (s[3] >= 0x80) return s + 3;
    }
  }
  while (s < end && s[0] < 0x80) ++s;
  return s;
}

}  // namespace

void WidenBytes(WCHAR* __restrict dst, const uint8_t* __restrict src, uint32_t count) {
  // Eight at a time, the last eight once more over the ones already written,
  // and a short run one by one.
  if (count < 8) {
    for (uint32_t k = 0; k < count; ++k) dst[k] = src[k];
    return;
  }
  for (uint32_t k = 0; k + 8 <= count; k += 8) {
    for (uint32_t u = 0; u < 8; ++u) dst[k + u] = src[k + u];
  }
  if (count % 8 != 0) {
    WCHAR* const last_dst = dst + count - 8;
    const uint8_t* const last_src = src + count - 8;
    for (uint32_t u = 0; u < 8; ++u) last_dst[u] = last_src[u];
  }
}

uint16_t UTF8ToUBE(WCHAR* dst, const uint8_t* src, uint16_t len) {
  const uint8_t* s = src;
  const uint8_t* const end = src + len;
  WCHAR* d = dst;
  while (s < end) {
    uint32_t b = s[0];
    if (b < 0x80) {
      // Runs of ASCII are the common case of LRC text: tags, digits, English.
      // A run is found first and then widened as a whole.
      const uint8_t* run_end = AsciiRunEnd(s + 1, end);
      WidenBytes(d, s, (uint32_t)(run_end - s));
      d += run_end - s;
      s = run_end;
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
