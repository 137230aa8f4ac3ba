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

uint16_t UTF8ToUBE(WCHAR* dst, const uint8_t* src, uint16_t len) {
  uint16_t i = 0;
  uint16_t j = 0;
  while (i < len) {
    uint8_t b = src[i];
    if (b < 0x80) {
      // Runs of ASCII are the common case of LRC text: tags, digits, English.
      do {
        dst[j++] = src[i++];
      } while (i < len && src[i] < 0x80);
      continue;
    }
    uint32_t left = (uint32_t)(len - i);
    if (b >= 0xC0 && b <= 0xDF && left >= 2) {
      dst[j++] = (WCHAR)(((b & 0x1F) << 6) | (src[i + 1] & 0x3F));
      i += 2;
    } else if (b >= 0xE0 && b <= 0xEF && left >= 3) {
      dst[j++] = (WCHAR)(((b & 0x0F) << 12) | ((src[i + 1] & 0x3F) << 6) | (src[i + 2] & 0x3F));
      i += 3;
    } else {
      // Continuation bytes on their own, the bytes of four-byte forms, and a
      // lead byte whose continuation the end has cut off: dropped one by one.
      i += 1;
    }
  }
  return j;
}

uint16_t ULEToUBE(WCHAR* dst, const uint8_t* src, uint16_t len) {
  uint16_t j = 0;
  for (uint32_t i = 0; i + 1 < len; i += 2) dst[j++] = (WCHAR)(src[i] | (src[i + 1] << 8));
  return j;
}

uint16_t UBEToUBE(WCHAR* dst, const uint8_t* src, uint16_t len) {
  uint16_t j = 0;
  for (uint32_t i = 0; i + 1 < len; i += 2) dst[j++] = (WCHAR)((src[i] << 8) | src[i + 1]);
  return j;
}
