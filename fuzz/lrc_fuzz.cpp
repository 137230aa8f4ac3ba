// Fuzz target over the whole lyrics job: bytes of any kind, any encoding, to a
// sorted record. Besides the sanitizers' checks it holds every record to its
// promises and the parse to giving back every block it took.
#include <stdint.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/player_state.h"
#include "lyrics/parser.h"
#include "sim/driver.h"

namespace {

void Require(bool condition) {
  if (!condition) abort();
}

void CheckRecord(const LRC* lrc) {
  for (const WCHAR* tag : {lrc->ti, lrc->ar, lrc->al, lrc->by}) Require(tag != nullptr);
  Require(lrc->times != nullptr);
  Require(lrc->line_count == 0 || lrc->lines != nullptr);
  for (uint32_t k = 0; k < lrc->time_count; ++k) {
    Require(lrc->times[k].line < lrc->line_count);
    if (k > 0) Require(lrc->times[k - 1].time <= lrc->times[k].time);
  }
  for (uint32_t k = 0; k < lrc->line_count; ++k) {
    Require(lrc->lines[k].text != nullptr);
    Require(lrc->lines[k].text[lrc->lines[k].len] == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A phone folder holding the GB2312 table, so that GB2312 input converts.
  std::string root = (std::filesystem::temp_directory_path() / "zq-lrc-fuzz").string();
  std::filesystem::create_directories(root + "/ELF");
  std::ifstream table(ZQ_GB2UC_MAP, std::ios::binary);
  std::ofstream(root + "/ELF/gb2uc.map", std::ios::binary) << table.rdbuf();
  if (!sim::set_root(root.c_str())) abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The parser takes a 16-bit length; longer input is cut to the largest.
  uint16_t len = size > 0xFFFF ? 0xFFFF : (uint16_t)size;
  uint32_t blocks = sim::memory_stats().live_blocks;
  uint8_t status = 0xEE;
  LRC* lrc = GetLRCFromBuf(data, len, &status);
  if (lrc != nullptr) {
    Require(status == LRC_LOADED);
    CheckRecord(lrc);
    DESTROY_LRC(&lrc);
  } else {
    Require(status == LRC_ERR_MEMORY || status == LRC_ERR_FILE || status == LRC_ERR_NO_TEXT ||
            status == LRC_ERR_ENCRYPTED);
  }
  Require(sim::memory_stats().live_blocks == blocks);
  Require(sim::memory_stats().bad_frees == 0);
  return 0;
}
