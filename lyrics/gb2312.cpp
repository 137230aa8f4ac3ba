// GB2312 to 16-bit text through the 7614-entry table. Builds without PATCH
// read the table from its file on every call and free it before returning;
// builds with PATCH read it in place in the firmware's memory.
#include "lyrics/encoding.h"

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

// The converter proper. The table holds entry k low byte first at 2k.
uint16_t ConvertThroughTable(WCHAR* dst, const uint8_t* src, uint16_t len, const uint8_t* table) {
  dst[0] = 0xFEFF;
  uint16_t j = 1;
  uint16_t i = 0;
  while (i < len) {
    uint8_t b = src[i];
    if (b < 0xA1) {
      // Control bytes other than the line ends are dropped; the rest, 0x80 to
      // 0xA0 included, stand for themselves.
      if (b >= 0x20 || b == 0x0D || b == 0x0A) dst[j++] = b;
      i += 1;
      continue;
    }
    if ((uint32_t)i + 1 >= len) break;  // a lead byte without its trail byte
    int32_t row = b - 0xA1;
    if (b > 0xA9) row -= 6;  // lead bytes AA to AF have no rows of their own
    int32_t k = row * 94 + ((int32_t)src[i + 1] - 0xA1);
    if (k >= 0 && k < GB2UC_ENTRIES) {
      dst[j++] = (WCHAR)(table[2 * k] | (table[2 * k + 1] << 8));
      i += 2;
    } else {
      i += 1;  // the lead byte alone goes; its follower is read afresh
    }
  }
  return j;
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
