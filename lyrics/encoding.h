// SPDX-License-Identifier: MIT
// Detection of a lyrics file's encoding and conversion to 16-bit text. Every
// converter writes U+FEFF first for the input detection sends it, writes no
// terminator and returns the number of units written.
#pragma once

#include "platform/firmware.h"

enum : uint8_t {
  kCodeNoText = 0,
  kCodeGB2312 = 1,
  kCodeUtf16Le = 2,
  kCodeUtf16Be = 3,
  kCodeUtf8 = 4,
};

#define GB2UC_ENTRIES 7614

// `len` bytes are present at `bytes`; nothing past them is read.
uint8_t GetCodeType(const uint8_t* bytes, uint16_t len);
uint16_t GBToUBE(WCHAR* dst, const uint8_t* src, uint16_t len);    // dst: len + 1 units
uint16_t UTF8ToUBE(WCHAR* dst, const uint8_t* src, uint16_t len);  // dst: len units
uint16_t ULEToUBE(WCHAR* dst, const uint8_t* src, uint16_t len);   // dst: (len + 1) / 2 units
uint16_t UBEToUBE(WCHAR* dst, const uint8_t* src, uint16_t len);   // dst: (len + 1) / 2 units
// The converter of encoding `code` (one of the codes above); 0 units for
// kCodeNoText or an unknown code. dst: len + 1 units. Inline, so that what
// takes only the detection links no converter.
inline uint16_t ConvertByCode(WCHAR* dst, const uint8_t* src, uint16_t len, uint8_t code) {
  switch (code) {
    case kCodeGB2312:
      return GBToUBE(dst, src, len);
    case kCodeUtf16Le:
      return ULEToUBE(dst, src, len);
    case kCodeUtf16Be:
      return UBEToUBE(dst, src, len);
    case kCodeUtf8:
      return UTF8ToUBE(dst, src, len);
    default:
      return 0;
  }
}
