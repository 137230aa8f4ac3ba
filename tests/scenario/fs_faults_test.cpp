// SPDX-License-Identifier: MIT
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
      {"no fault", FsFault::kNone, nullptr, 0, kLrcLoaded, 3, 3, "c.mp3"},
      {"lyrics file cannot be opened", FsFault::kOpenFails, ".lrc", 0, kLrcErrFile, -1, 3, "c.mp3"},
      {"lyrics size too large", FsFault::kSizeTooLarge, ".lrc", 1, kLrcErrFile, -1, 3, "c.mp3"},
      {"lyrics size too small", FsFault::kSizeTooSmall, ".lrc", 14, kLrcLoaded, 2, 3, "c.mp3"},
      {"lyrics size 0", FsFault::kSizeTooSmall, ".lrc", 100, kLrcErrFile, -1, 3, "c.mp3"},
      {"lyrics read short", FsFault::kShortRead, ".lrc", 33, kLrcErrFile, -1, 3, "c.mp3"},
      {"lyrics read fails", FsFault::kReadError, ".lrc", 10, kLrcErrFile, -1, 3, "c.mp3"},
      {"table cannot be opened", FsFault::kOpenFails, "gb2uc.map", 0, kLrcErrFile, -1, 3, "c.mp3"},
      {"table read short", FsFault::kShortRead, "gb2uc.map", 15227, kLrcErrFile, -1, 3, "c.mp3"},
      {"table read fails", FsFault::kReadError, "gb2uc.map", 0, kLrcErrFile, -1, 3, "c.mp3"},
      {"search fails at its start", FsFault::kSearchFails, "audio", 0, kLrcLoaded, 3, 0, "b.mp3"},
      {"search breaks off after a.mp3", FsFault::kSearchBreaksOff, nullptr, 1, kLrcLoaded, 3, 1, "b.mp3"},
      {"search breaks off after b.mp3", FsFault::kSearchBreaksOff, nullptr, 2, kLrcLoaded, 3, 2, "a.mp3"},
      {"search runs short at once", FsFault::kSearchRunsShort, nullptr, 0, kLrcLoaded, 3, 0, "b.mp3"},
      {"search runs short after a.mp3", FsFault::kSearchRunsShort, nullptr, 1, kLrcLoaded, 3, 1, "b.mp3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RestartMachine();
    ASSERT_TRUE(sim::InstallGb2ucFile(ZQ_GB2UC_MAP));
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) AddTrack(name);
    std::ofstream(Host("mobile/audio/lrc/b.lrc"), std::ios::binary) << kLyrics;
    sim::SetFsFault(c.fault, c.part, c.amount);
    ASSERT_TRUE(Start("b.mp3", "zq_player"));

    EXPECT_EQ(Ps().iRet, c.status);
    EXPECT_EQ(Ps().lrc == nullptr ? -1 : (int)Ps().lrc->line_count, c.lines);
    EXPECT_EQ(Ps().count, c.count);
    EXPECT_EQ(Track(), "b.mp3");
    sim::Press(kSeekFwd);
    sim::Release(kSeekFwd);
    EXPECT_EQ(Track(), c.next);

    EndProgram();
    EXPECT_FALSE(sim::ImageLoaded());
    char report[512];
    sim::LeakReport(report, sizeof report);
    EXPECT_EQ(sim::LeakedBlocks(), 0u) << report;
    EXPECT_EQ(sim::GetMemoryStats().bad_frees, 0u);
    EXPECT_EQ(sim::GetMemoryStats().overruns, 0u);
  }
}

}  // namespace
}  // namespace scenario
