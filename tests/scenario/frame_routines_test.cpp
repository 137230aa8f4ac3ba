// SPDX-License-Identifier: MIT
// Routines of the application frame and the engine wrapper called directly,
// with the stand-in linked in: the start text, the indicator, and the
// operations that must be harmless without a playback object.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/app.h"
#include "app/func.h"
#include "lyrics/record.h"
#include "playback/engine.h"
#include "sim/driver.h"

namespace {

namespace fs = std::filesystem;

class FrameRoutines : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    char pattern[] = "/tmp/zq_frame_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    ASSERT_TRUE(sim::SetRoot(root_.c_str()));
    saved_ = player;
  }
  void TearDown() override {
    player = saved_;
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  std::string root_;
  PlayerState saved_;
};

std::u16string UriOf(const char* start_text) {
  WCHAR uri[ZQ_PATH_UNITS];
  for (auto& u : uri) u = u'#';
  id2uri(start_text, uri);
  return std::u16string(uri);
}

struct IdCase {
  const char* text;
  const char16_t* uri;  // a URI of no file names the identifier it was given
};

TEST_F(FrameRoutines, TheStartTextBecomesTheFileIdentifierDigitByDigit) {
  static const char kStopsEarly[] = "12\0FFFFFFFFFFFFF";
  const IdCase cases[] = {
      {"0123456789ABCDEF", u"file://b/.missing/0123456789ABCDEF"},
      {"0123456789abcdef", u"file://b/.missing/0123456789ABCDEF"},
      {"fedcba9876543210", u"file://b/.missing/FEDCBA9876543210"},
      {"G123456789ABCDEz", u"file://b/.missing/0123456789ABCDE0"},
      {"0x23-5 789ABCDE!", u"file://b/.missing/0023050789ABCDE0"},
      {"0123456789ABCDEF77", u"file://b/.missing/0123456789ABCDEF"},
      {"12", u"file://b/.missing/1200000000000000"},
      {"123456789", u"file://b/.missing/1234567890000000"},
      {"", u"file://b/.missing/0000000000000000"},
      {kStopsEarly, u"file://b/.missing/1200000000000000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(UriOf(c.text), std::u16string(c.uri));
  }
}

TEST_F(FrameRoutines, TheStartTextOfAFileGivesItsUri) {
  fs::create_directories(root_ + "/mobile/audio");
  std::ofstream(root_ + "/mobile/audio/a.mp3") << "x";
  uint8_t id[8];
  ASSERT_TRUE(sim::FileId("file://b/mobile/audio/a.mp3", id));
  char text[17];
  sim::FileIdText(id, text);
  WCHAR uri[ZQ_PATH_UNITS] = {};
  EXPECT_EQ(id2uri(text, uri), 0u);
  EXPECT_EQ(std::u16string(uri), u"file://b/mobile/audio/a.mp3");
}

TEST_F(FrameRoutines, ANullStartTextKeepsTheBaseAndRegistersNothing) {
  EXPECT_EQ(Register(0, nullptr, 0x4321), 0u);
  EXPECT_EQ(player.evcode_base, 0x4321u);
  EXPECT_EQ(LdrStartApp(0x4321), 1u);  // nothing registered under it
}

TEST_F(FrameRoutines, TheIndicatorShowsPlayingAndPausedOnly) {
  const uint8_t expected[] = {0, 1, 2, 0, 0, 0};
  for (uint8_t state = 0; state < sizeof expected; ++state) {
    SCOPED_TRACE(int(state));
    ShowState(state == 1 ? 2 : 1);  // something else first
    EXPECT_EQ(ShowState(state), 0u);
    EXPECT_EQ(sim::Indicator(), expected[state]);
  }
}

TEST_F(FrameRoutines, DeleteWithoutAnObjectStillFreesTheLyrics) {
  player.mme_media_file = 0;
  player.State_Player = kPlayerStopped;
  ShowState(kPlayerPlaying);
  uint32_t live = sim::GetMemoryStats().live_blocks;
  player.lrc = INIT_LRC();
  ASSERT_NE(player.lrc, nullptr);
  EXPECT_GT(sim::GetMemoryStats().live_blocks, live);
  EXPECT_EQ(Delete(), 1u);
  EXPECT_EQ(player.lrc, nullptr);
  EXPECT_EQ(sim::GetMemoryStats().live_blocks, live);
  EXPECT_EQ(sim::GetMemoryStats().bad_frees, 0u);
  EXPECT_EQ(player.State_Player, kPlayerStopped);
  EXPECT_EQ(sim::Indicator(), 1);
  EXPECT_EQ(Delete(), 1u);  // and again, with nothing at all
}

// The engine itself answers 1 for an unknown handle, so the result alone
// would not show the program's own test: no call may reach the engine.
TEST_F(FrameRoutines, EngineOperationsWithoutAnObjectReportOne) {
  player.mme_media_file = 0;
  player.State_Player = kPlayerPaused;
  player.allowPlay = 1;
  player.timePosition = 7;
  EXPECT_EQ(Pause(), 1u);
  EXPECT_EQ(Stop(), 1u);
  EXPECT_EQ(Seek(5000), 1u);
  EXPECT_EQ(Play(nullptr, nullptr), 1u);
  EXPECT_EQ(SeekPlay(nullptr, nullptr), 1u);
  EXPECT_EQ(sim::EngineCalls(), 0u);
  EXPECT_EQ(player.State_Player, kPlayerPaused);
  EXPECT_EQ(player.timePosition, 7u);
}

// SeekPlay restarts only a playing or paused track: with a real, stopped
// object of the engine, a start in any other state would succeed.
TEST_F(FrameRoutines, SeekPlayInOtherStatesDoesNothing) {
  fs::create_directories(root_ + "/mobile/audio");
  std::ofstream(root_ + "/mobile/audio/a.mp3") << "x";
  uint32_t port = 0;
  player.mme_media_file = MME_GC_playback_create(&port, u"file://b/mobile/audio/a.mp3", 0, 0, 0, 0, 0, 0);
  ASSERT_NE(player.mme_media_file, 0u);
  const uint32_t calls = sim::EngineCalls();
  for (uint8_t state : {kPlayerNoTrack, kPlayerStopped, kPlayerSeeking}) {
    SCOPED_TRACE(int(state));
    player.State_Player = state;
    EXPECT_EQ(SeekPlay(nullptr, nullptr), 1u);
    EXPECT_EQ(player.State_Player, state);
  }
  EXPECT_EQ(sim::EngineCalls(), calls);
  sim::PlaybackInfo info{};
  ASSERT_TRUE(sim::GetPlaybackInfo(&info));
  EXPECT_FALSE(info.playing);
  // The same object is started in the playing state: the test above could fail.
  player.State_Player = kPlayerPlaying;
  EXPECT_EQ(SeekPlay(nullptr, nullptr), 0u);
  ASSERT_TRUE(sim::GetPlaybackInfo(&info));
  EXPECT_TRUE(info.playing);
  MME_GC_playback_delete(player.mme_media_file);
}

TEST_F(FrameRoutines, AShellEntryOfAnotherKindCreatesNoCanvas) {
  APPLICATION_T record = {};
  player.isCanvas = 0;
  EXPECT_EQ(shell_MainStateEnter(nullptr, &record, 1), 0u);
  EXPECT_FALSE(sim::CanvasExists());
  EXPECT_EQ(player.isCanvas, 0);
  EXPECT_EQ(record.dialog, 0u);
}

TEST_F(FrameRoutines, TheFeatureDatabaseReadsZeroWhenItCannotRead) {
  EXPECT_EQ(fReadDB(0), 0u);  // no file
  fs::create_directories(root_ + "/Elf");
  const unsigned char bytes[] = {9, 9, 9, 9, 0x12, 0x34, 0x56, 0x78};
  std::ofstream(root_ + "/Elf/phone.db", std::ios::binary).write((const char*)bytes, sizeof bytes);
  uint32_t stored;
  memcpy(&stored, bytes + 4, 4);  // as stored, in the processor's order
  EXPECT_EQ(fReadDB(4), stored);
  EXPECT_EQ(fReadDB(8), 0u);    // nothing left at the offset
  EXPECT_EQ(fReadDB(100), 0u);  // past the end
}

}  // namespace
