// SPDX-License-Identifier: MIT
// GB2312 to 16-bit text through the 7614-entry table. Builds without PATCH
// read the table from its file on every call and free it before returning;
// builds with PATCH read it in place in the firmware's memory.
#include "lyrics/encoding.h"
#include "lyrics/word_scan.h"

namespace {

#ifndef PATCH
const WCHAR kTablePath[] = u"file://b/ELF/gb2uc.map";

// Reads the whole table file into a new block; null when the file is missing,
// cannot be opened, cannot be held in memory or is shorter than the table.
uint8_t* LoadTable() {
  if (!DL_FsFFileExist(kTablePath)) return nullptr;
  FILE_HANDLE_T handle = DL_FsOpenFile(kTablePath, 0, 0);
  if (handle == FS_INVALID_HANDLE) return nullptr;
  uint8_t* table = (uint8_t*)suAllocMem(GB2UC_TABLE_BYTES, nullptr);
  uint32_t items_read = 0;
  if (table != nullptr) DL_FsReadFile(table, GB2UC_TABLE_BYTES, 1, handle, &items_read);
  DL_FsCloseFile(handle);
  // A short table would hand out entries that were never read.
  if (table != nullptr && items_read != 1) {
    suFreeMem(table);
    table = nullptr;
  }
  return table;
}
#endif

// Bytes from 0x20 to 0xA0 stand for themselves.
inline bool IsPlain(uint32_t b) {
  return b - 0x20u < 0x81u;
}

// Widens the run of plain bytes that starts at s (s[0] is one) into d and
// moves both past it. A word at a time while a whole word is left: its bytes
// are widened before the word is tested, and when a byte of it is not plain
// the run ends inside it, where the units past the run are written over by
// what follows (d is at most one unit, the mark, ahead of s, and dst has the
// unit for it).
inline void WidenPlainRun(WCHAR*& d, const uint8_t*& s, const uint8_t* end) {
  using word_scan::kBytes;
  WCHAR* dw = d;
  const uint8_t* sw = s;
  for (; (uint32_t)(end - sw) >= kBytes; sw += kBytes, dw += kBytes) {
    const word_scan::Word x = word_scan::Load(sw);
    word_scan::WidenWord(dw, sw);
    if (word_scan::AnyByteOutside20ToA0(x)) {
      while (IsPlain(sw[0])) {
        ++sw;
        ++dw;
      }
      d = dw;
      s = sw;
      return;
    }
  }
  for (; sw < end && IsPlain(sw[0]); ++sw) *dw++ = sw[0];
  d = dw;
  s = sw;
}

// For each lead byte from A1 to FF, the table index of its row's first cell
// less A1, so that lead byte L and trail byte T give the entry
// kRowBase[L - A1] + T. Lead bytes AA to AF have no rows of their own and
// fold onto the rows of A4 to A9, as the formula row(L) x 94 + (T - A1) does
// for them; the index is tested against the table's size, not the bytes.
struct RowBases {
  int16_t base[0x100 - 0xA1];
  constexpr RowBases() : base() {
    for (uint32_t lead = 0xA1; lead <= 0xFF; ++lead) {
      int32_t row = (int32_t)lead - 0xA1 - (lead > 0xA9 ? 6 : 0);
      base[lead - 0xA1] = (int16_t)(row * 94 - 0xA1);
    }
  }
};
constexpr RowBases kRowBase;

// The converter proper. The table holds entry k low byte first at 2k.
uint16_t ConvertThroughTable(WCHAR* dst, const uint8_t* src, uint16_t len, const uint8_t* table) {
  dst[0] = 0xFEFF;
  WCHAR* d = dst + 1;
  const uint8_t* s = src;
  const uint8_t* const end = src + len;
  while (s < end) {
    uint32_t b = s[0];
    if (IsPlain(b)) {
      // Runs of plain bytes are the common case of LRC text: tags, digits,
      // English.
      WidenPlainRun(d, s, end);
      continue;
    }
    if (b < 0x20) {
      // Of the control bytes only the line ends are kept.
      if (b == 0x0D || b == 0x0A) *d++ = (WCHAR)b;
      ++s;
      continue;
    }
    // A run of lead bytes (A1 and above), each with its trail byte. A lead
    // byte that is the last byte has none and is dropped.
    const uint8_t* const last = end - 1;
    while (s < last && (b = s[0]) >= 0xA1) {
      uint32_t k = (uint32_t)(kRowBase.base[b - 0xA1] + (int32_t)s[1]);
      if (k < GB2UC_ENTRIES) {
        const uint8_t* entry = table + 2 * k;
        *d++ = (WCHAR)(entry[0] | (entry[1] << 8));
        s += 2;
      } else {
        ++s;  // the lead byte alone goes; its follower is read afresh
      }
    }
    if (s == last && s[0] >= 0xA1) ++s;
  }
  return (uint16_t)(d - dst);
}

}  // namespace

uint16_t GBToUBE(WCHAR* dst, const uint8_t* src, uint16_t len) {
#ifdef PATCH
  return ConvertThroughTable(dst, src, len, (const uint8_t*)(uintptr_t)GB2UC_TABLE_ADDRESS);
#else
  uint8_t* table = LoadTable();
  if (table == nullptr) return 0;
  uint16_t count = ConvertThroughTable(dst, src, len, table);
  suFreeMem(table);
  return count;
#endif
}
