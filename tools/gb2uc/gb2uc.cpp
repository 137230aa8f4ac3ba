// SPDX-License-Identifier: MIT
// Writes the GB2312 conversion table the phone reads (gb2uc.map): 81 rows of
// 94 cells, two bytes per cell, low byte first. Rows 0 to 8 are the lead bytes
// A1 to A9, rows 9 to 80 the lead bytes B0 to F7; cell c is the trail byte
// A1 + c. Each cell holds what the C library's GB2312 decoder makes of the
// two bytes, and 0x0000 where GB2312 leaves the cell empty.
//
// Usage: gb2uc OUTPUT
#include <errno.h>
#include <iconv.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <vector>

namespace {

constexpr int kRows = 81;
constexpr int kCells = 94;

int LeadOfRow(int row) {
  return row < 9 ? 0xA1 + row : 0xB0 + (row - 9);
}

// The one code unit of the two bytes, or 0 when they are not a character.
uint16_t Decode(iconv_t cd, uint8_t lead, uint8_t trail) {
  char in[2] = {(char)lead, (char)trail};
  unsigned char out[8];
  char* in_ptr = in;
  char* out_ptr = (char*)out;
  size_t in_left = sizeof in;
  size_t out_left = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // fresh shift state
  size_t rc = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
  // Exactly one 16-bit unit must come out of exactly both bytes.
  if (rc == (size_t)-1 || in_left != 0 || sizeof out - out_left != 2) return 0;
  return (uint16_t)(out[0] | (out[1] << 8));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: gb2uc OUTPUT\n");
    return 2;
  }
  iconv_t cd = iconv_open("UCS-2LE", "GB2312");
  if (cd == (iconv_t)-1) {
    fprintf(stderr, "gb2uc: no GB2312 decoder: %s\n", strerror(errno));
    return 1;
  }
  std::vector<uint8_t> table;
  table.reserve(kRows * kCells * 2);
  int mapped = 0;
  for (int row = 0; row < kRows; ++row) {
    for (int cell = 0; cell < kCells; ++cell) {
      uint16_t unit = Decode(cd, (uint8_t)LeadOfRow(row), (uint8_t)(0xA1 + cell));
      if (unit != 0) ++mapped;
      table.push_back((uint8_t)(unit & 0xFF));
      table.push_back((uint8_t)(unit >> 8));
    }
  }
  iconv_close(cd);
  // Written beside the target and renamed, so that a failed run leaves no
  // half-written table for the build to trust.
  std::vector<char> temp(strlen(argv[1]) + 5);
  snprintf(temp.data(), temp.size(), "%s.tmp", argv[1]);
  FILE* out = fopen(temp.data(), "wb");
  if (out == nullptr) {
    fprintf(stderr, "gb2uc: cannot write %s: %s\n", temp.data(), strerror(errno));
    return 1;
  }
  bool ok = fwrite(table.data(), 1, table.size(), out) == table.size();
  ok = (fclose(out) == 0) && ok;
  if (!ok || rename(temp.data(), argv[1]) != 0) {
    fprintf(stderr, "gb2uc: cannot write %s: %s\n", argv[1], strerror(errno));
    remove(temp.data());
    return 1;
  }
  printf("gb2uc: %d of %d cells mapped, %zu bytes\n", mapped, kRows * kCells, table.size());
  return 0;
}
