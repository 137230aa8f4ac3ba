// The program on a file system that fails: the lyrics file, the GB2312 table
// file and the folder search, each failing in every way a card can. Whatever
// fails, the program reports the status it documents for it, uses no byte it
// did not read, and leaves nothing behind.
#include <fstream>

#include "lyrics/record.h"
#include "scenario.h"

namespace scenario {
namespace {

using FsFaults = Scenario;
using sim::FsFault;

// Read as GB2312 (no byte-order mark), so the table file is read as well;
// the second line is the character U+9759 in GB2312.
const char kLyrics[] = "[00:01]one\n[00:02]\xBE\xB2\n[00:03]three\n";  // 34 bytes

TEST_F(FsFaults, EachFaultEndsInItsStatusAndLeavesNothingBehind) {
  struct Case {
    const char* name;
    FsFault fault;
    const char* part;
    uint32_t amount;
    uint8_t status;    // iRet after the start
    int lines;         // lines of the record, -1 for none
    uint16_t count;    // entries of the track list
    const char* next;  // the track after a tap of the seek-forward key
  };
  const Case cases[] = {
      {"no fault", FsFault::None, nullptr, 0, LRC_LOADED, 3, 3, "c.mp3"},
      {"lyrics file cannot be opened", FsFault::OpenFails, ".lrc", 0, LRC_ERR_FILE, -1, 3, "c.mp3"},
      {"lyrics size too large", FsFault::SizeTooLarge, ".lrc", 1, LRC_ERR_FILE, -1, 3, "c.mp3"},
      {"lyrics size too small", FsFault::SizeTooSmall, ".lrc", 14, LRC_LOADED, 2, 3, "c.mp3"},
      {"lyrics size 0", FsFault::SizeTooSmall, ".lrc", 100, LRC_ERR_FILE, -1, 3, "c.mp3"},
      {"lyrics read short", FsFault::ShortRead, ".lrc", 33, LRC_ERR_FILE, -1, 3, "c.mp3"},
      {"lyrics read fails", FsFault::ReadError, ".lrc", 10, LRC_ERR_FILE, -1, 3, "c.mp3"},
      {"table cannot be opened", FsFault::OpenFails, "gb2uc.map", 0, LRC_ERR_FILE, -1, 3, "c.mp3"},
      {"table read short", FsFault::ShortRead, "gb2uc.map", 15227, LRC_ERR_FILE, -1, 3, "c.mp3"},
      {"table read fails", FsFault::ReadError, "gb2uc.map", 0, LRC_ERR_FILE, -1, 3, "c.mp3"},
      {"search fails at its start", FsFault::SearchFails, "audio", 0, LRC_LOADED, 3, 0, "b.mp3"},
      {"search breaks off after a.mp3", FsFault::SearchBreaksOff, nullptr, 1, LRC_LOADED, 3, 1, "b.mp3"},
      {"search breaks off after b.mp3", FsFault::SearchBreaksOff, nullptr, 2, LRC_LOADED, 3, 2, "a.mp3"},
      {"search runs short at once", FsFault::SearchRunsShort, nullptr, 0, LRC_LOADED, 3, 0, "b.mp3"},
      {"search runs short after a.mp3", FsFault::SearchRunsShort, nullptr, 1, LRC_LOADED, 3, 1, "b.mp3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    restart_machine();
    ASSERT_TRUE(sim::install_gb2uc_file(ZQ_GB2UC_MAP));
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) add_track(name);
    std::ofstream(host("mobile/audio/lrc/b.lrc"), std::ios::binary) << kLyrics;
    sim::set_fs_fault(c.fault, c.part, c.amount);
    ASSERT_TRUE(start("b.mp3", "zq_player"));

    EXPECT_EQ(ps().iRet, c.status);
    EXPECT_EQ(ps().lrc == nullptr ? -1 : (int)ps().lrc->line_count, c.lines);
    EXPECT_EQ(ps().count, c.count);
    EXPECT_EQ(track(), "b.mp3");
    sim::press(kSeekFwd);
    sim::release(kSeekFwd);
    EXPECT_EQ(track(), c.next);

    end_program();
    EXPECT_FALSE(sim::image_loaded());
    char report[512];
    sim::leak_report(report, sizeof report);
    EXPECT_EQ(sim::leaked_blocks(), 0u) << report;
    EXPECT_EQ(sim::memory_stats().bad_frees, 0u);
    EXPECT_EQ(sim::memory_stats().overruns, 0u);
  }
}

}  // namespace
}  // namespace scenario
