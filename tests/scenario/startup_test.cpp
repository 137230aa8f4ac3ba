// Start-up: the loader's call, the registration of both applications, the
// start text, and start-up under memory that runs out.
#include <cctype>
#include <string>

#include "scenario.h"

namespace scenario {
namespace {

using Startup = Scenario;

TEST_F(Startup, RegistersTheShellUnderTheBaseAndThePlayerUnderTheNextCode) {
  add_track("a.mp3");
  ASSERT_TRUE(start("a.mp3"));
  EXPECT_EQ(lib_result_, 1u);
  EXPECT_EQ(ps().evcode_base, kBase + 1);
  sim::AppInfo s = shell(), p = player_app();
  EXPECT_TRUE(s.running);
  EXPECT_STREQ(s.name, "ZQ_s_Player");
  EXPECT_EQ(s.start_code, kBase);
  EXPECT_EQ(s.state, 2u);
  EXPECT_TRUE(p.running);
  EXPECT_STREQ(p.name, "ZQ_Player");
  EXPECT_EQ(p.start_code, kBase + 1);
  EXPECT_EQ(p.state, 1u);
  EXPECT_EQ(ps().isCanvas, 1);
  EXPECT_TRUE(sim::canvas_exists());
  EXPECT_EQ(s.dialog, ps().dialog);
  // The display reports its largest coordinates; the canvas gets the sizes.
  EXPECT_EQ(ps().display_size, (175u << 16) | 219u);
  EXPECT_EQ(ps().screenbuf.buffer, nullptr);
  EXPECT_EQ(ps().screenbuf.width, 176);
  EXPECT_EQ(ps().screenbuf.height, 220);
}

TEST_F(Startup, ThePlayerTakesThePortOfItsOwnRecordForTheEngine) {
  add_track("a.mp3");
  ASSERT_TRUE(start("a.mp3"));
  EXPECT_NE(ps().port, 0u);
  // The engine's ready event reached the player: the track plays.
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
  EXPECT_EQ(track(), "a.mp3");
}

TEST_F(Startup, ANullStartTextRegistersNothing) {
  ASSERT_TRUE(sim::load_image(image_path("zq_player_blue").c_str(), nullptr, kBase, &lib_result_));
  EXPECT_EQ(lib_result_, 0u);
  EXPECT_EQ(ps().evcode_base, kBase);
  sim::AppInfo info{};
  EXPECT_FALSE(sim::shell_info(&info) && info.running);
  EXPECT_FALSE(sim::player_info(&info) && info.running);
  EXPECT_EQ(sim::shell_starts(), 0u);
}

// Upper- and lower-case digits name the same file.
TEST_F(Startup, TheStartTextTakesHexLettersInEitherCase) {
  add_track("a.mp3");
  uint8_t id[8];
  ASSERT_TRUE(sim::file_id("file://b/mobile/audio/a.mp3", id));
  char text[17];
  sim::file_id_text(id, text);
  for (char& c : text) c = (char)std::tolower((unsigned char)c);
  ASSERT_TRUE(start_with_text(text));
  EXPECT_EQ(track(), "a.mp3");
  EXPECT_EQ(std::u16string(ps().filename), u"file://b/mobile/audio/a.mp3");
}

// A start text that names no file leaves one missing track: the player ends.
TEST_F(Startup, AStartTextOfNoFileEndsTheProgram) {
  add_track("a.mp3");
  for (const char* text : {"GGGGGGGGGGGGGGGG", "12", ""}) {
    SCOPED_TRACE(text);
    facts_.clear();
    ASSERT_TRUE(start_with_text(text));
    EXPECT_EQ(lib_result_, 1u);
    EXPECT_TRUE(sim::unload_requested());
    EXPECT_FALSE(sim::image_loaded());
    EXPECT_EQ(count(sim::Fact::Track), 0u);
    EXPECT_EQ(sim::leaked_blocks(), 0u);
  }
}

// The four builds differ only in theme and table source: each one starts,
// plays, changes track and ends without leaving anything behind.
TEST_F(Startup, EveryBuildPlaysTheFolderAndEndsCleanly) {
  for (const char* image : {"zq_player_blue", "zq_player_blue_patch", "zq_player", "zq_player_patch"}) {
    SCOPED_TRACE(image);
    restart_machine();
    add_track("a.mp3");
    add_track("b.mp3");
    add_lyrics("a", "[ti:Title]\n[00:01.00]one\n[00:02.00]two\n");
    ASSERT_TRUE(start("a.mp3", image));
    EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
    EXPECT_EQ(ps().iRet, LRC_LOADED);
    EXPECT_EQ(ps().count, 2);
    seconds(3);
    EXPECT_EQ(ps().timePosition, 3u);
    sim::press(kSeekFwd);
    sim::release(kSeekFwd);
    EXPECT_EQ(track(), "b.mp3");
    EXPECT_EQ(ps().iRet, LRC_ERR_NO_FILE);
    sim::press(kExit);
    EXPECT_TRUE(sim::unload_requested());
    EXPECT_EQ(sim::leaked_blocks(), 0u);
    EXPECT_EQ(sim::memory_stats().bad_frees, 0u);
  }
}

// Every allocation the start makes fails in turn: the program copes with
// each (it may end or run without its lyrics), and nothing is left behind.
TEST_F(Startup, EveryAllocationOfStartUpMayFail) {
  add_track("a.mp3");
  add_track("b.mp3");
  add_lyrics("a", "[ti:T]\n[00:01.00]one\n[00:02.00]two\n");
  uint32_t tried = 0;
  for (uint32_t nth = 1; nth < 200; ++nth) {
    SCOPED_TRACE(nth);
    uint32_t failed_before = sim::memory_stats().failed;
    sim::fail_allocation(nth);
    ASSERT_TRUE(start("a.mp3"));
    bool reached = sim::memory_stats().failed > failed_before;
    sim::fail_allocation(0);
    // Either the player ended (no room for the track list) or it plays,
    // with or without its lyrics.
    if (sim::image_loaded()) {
      EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
      seconds(2);
      EXPECT_EQ(ps().timePosition, 2u);
      end_program();
    }
    ASSERT_FALSE(sim::image_loaded());
    EXPECT_EQ(sim::leaked_blocks(), 0u);
    EXPECT_EQ(sim::memory_stats().bad_frees, 0u);
    if (!reached) break;
    ++tried;
  }
  // The track list and the lyrics need memory: at least those two failed.
  EXPECT_GE(tried, 2u);
}

}  // namespace
}  // namespace scenario
