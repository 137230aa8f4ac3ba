// SPDX-License-Identifier: MIT
// Start-up: the loader's call, the registration of both applications, the
// start text, and start-up under memory that runs out.
#include <cctype>
#include <string>

#include "drive/image_names.h"
#include "scenario.h"

namespace scenario {
namespace {

using Startup = Scenario;

TEST_F(Startup, RegistersTheShellUnderTheBaseAndThePlayerUnderTheNextCode) {
  AddTrack("a.mp3");
  ASSERT_TRUE(Start("a.mp3"));
  EXPECT_EQ(lib_result_, 1u);
  EXPECT_EQ(Ps().evcode_base, kBase + 1);
  sim::AppInfo s = ShellInfo(), p = PlayerApp();
  EXPECT_TRUE(s.running);
  EXPECT_STREQ(s.name, "ZQ_s_Player");
  EXPECT_EQ(s.start_code, kBase);
  EXPECT_EQ(s.state, 2u);
  EXPECT_TRUE(p.running);
  EXPECT_STREQ(p.name, "ZQ_Player");
  EXPECT_EQ(p.start_code, kBase + 1);
  EXPECT_EQ(p.state, 1u);
  EXPECT_EQ(Ps().isCanvas, 1);
  EXPECT_TRUE(sim::CanvasExists());
  EXPECT_EQ(s.dialog, Ps().dialog);
  // The display reports its largest coordinates; the canvas gets the sizes.
  EXPECT_EQ(Ps().display_size, (175u << 16) | 219u);
  EXPECT_EQ(Ps().screenbuf.buffer, nullptr);
  EXPECT_EQ(Ps().screenbuf.width, 176);
  EXPECT_EQ(Ps().screenbuf.height, 220);
}

TEST_F(Startup, ThePlayerTakesThePortOfItsOwnRecordForTheEngine) {
  AddTrack("a.mp3");
  ASSERT_TRUE(Start("a.mp3"));
  EXPECT_NE(Ps().port, 0u);
  // The engine's ready event reached the player: the track plays.
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
  EXPECT_EQ(Track(), "a.mp3");
}

TEST_F(Startup, ANullStartTextRegistersNothing) {
  ASSERT_TRUE(sim::LoadImage(ImagePath("zq_player_blue").c_str(), nullptr, kBase, &lib_result_));
  EXPECT_EQ(lib_result_, 0u);
  EXPECT_EQ(Ps().evcode_base, kBase);
  sim::AppInfo info{};
  EXPECT_FALSE(sim::ShellInfo(&info) && info.running);
  EXPECT_FALSE(sim::PlayerInfo(&info) && info.running);
  EXPECT_EQ(sim::ShellStarts(), 0u);
}

// Upper- and lower-case digits name the same file.
TEST_F(Startup, TheStartTextTakesHexLettersInEitherCase) {
  AddTrack("a.mp3");
  uint8_t id[8];
  ASSERT_TRUE(sim::FileId("file://b/mobile/audio/a.mp3", id));
  char text[17];
  sim::FileIdText(id, text);
  for (char& c : text) c = (char)std::tolower((unsigned char)c);
  ASSERT_TRUE(StartWithText(text));
  EXPECT_EQ(Track(), "a.mp3");
  EXPECT_EQ(std::u16string(Ps().filename), u"file://b/mobile/audio/a.mp3");
}

// A start text that names no file leaves one missing track: the player ends.
TEST_F(Startup, AStartTextOfNoFileEndsTheProgram) {
  AddTrack("a.mp3");
  for (const char* text : {"GGGGGGGGGGGGGGGG", "12", ""}) {
    SCOPED_TRACE(text);
    facts_.clear();
    ASSERT_TRUE(StartWithText(text));
    EXPECT_EQ(lib_result_, 1u);
    EXPECT_TRUE(sim::UnloadRequested());
    EXPECT_FALSE(sim::ImageLoaded());
    EXPECT_EQ(count(sim::Fact::kTrack), 0u);
    EXPECT_EQ(sim::LeakedBlocks(), 0u);
  }
}

// The four builds differ only in theme and table source: each one starts,
// plays, changes track and ends without leaving anything behind.
TEST_F(Startup, EveryBuildPlaysTheFolderAndEndsCleanly) {
  for (const char* image : drive::kImageNames) {
    SCOPED_TRACE(image);
    RestartMachine();
    AddTrack("a.mp3");
    AddTrack("b.mp3");
    AddLyrics("a", "[ti:Title]\n[00:01.00]one\n[00:02.00]two\n");
    ASSERT_TRUE(Start("a.mp3", image));
    EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
    EXPECT_EQ(Ps().iRet, kLrcLoaded);
    EXPECT_EQ(Ps().count, 2);
    Seconds(3);
    EXPECT_EQ(Ps().timePosition, 3u);
    sim::Press(kSeekFwd);
    sim::Release(kSeekFwd);
    EXPECT_EQ(Track(), "b.mp3");
    EXPECT_EQ(Ps().iRet, kLrcErrNoFile);
    sim::Press(kExit);
    EXPECT_TRUE(sim::UnloadRequested());
    EXPECT_EQ(sim::LeakedBlocks(), 0u);
    EXPECT_EQ(sim::GetMemoryStats().bad_frees, 0u);
  }
}

// Every allocation the start makes fails in turn: the program copes with
// each (it may end or run without its lyrics), and nothing is left behind.
TEST_F(Startup, EveryAllocationOfStartUpMayFail) {
  AddTrack("a.mp3");
  AddTrack("b.mp3");
  AddLyrics("a", "[ti:T]\n[00:01.00]one\n[00:02.00]two\n");
  uint32_t tried = 0;
  for (uint32_t nth = 1; nth < 200; ++nth) {
    SCOPED_TRACE(nth);
    uint32_t failed_before = sim::GetMemoryStats().failed;
    sim::FailAllocation(nth);
    ASSERT_TRUE(Start("a.mp3"));
    bool reached = sim::GetMemoryStats().failed > failed_before;
    sim::FailAllocation(0);
    // Either the player ended (no room for the track list) or it plays,
    // with or without its lyrics.
    if (sim::ImageLoaded()) {
      EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
      Seconds(2);
      EXPECT_EQ(Ps().timePosition, 2u);
      EndProgram();
    }
    ASSERT_FALSE(sim::ImageLoaded());
    EXPECT_EQ(sim::LeakedBlocks(), 0u);
    EXPECT_EQ(sim::GetMemoryStats().bad_frees, 0u);
    if (!reached) break;
    ++tried;
  }
  // The track list and the lyrics need memory: at least those two failed.
  EXPECT_GE(tried, 2u);
}

}  // namespace
}  // namespace scenario
