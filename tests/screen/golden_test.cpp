// SPDX-License-Identifier: MIT
// Whole screens composed as the program composes them, compared pixel by
// pixel with the reviewed screenshots in golden/. ZQ_UPDATE_GOLDENS=1
// rewrites the screenshots after a deliberate change.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app.h"
#include "screen/background.h"
#include "screen/lyrics_view.h"
#include "screen/widgets.h"
#include "sim/host/png/png_writer.h"
#include "tests/screen/screen_fixture.h"

namespace screen_test {
namespace {

#ifdef BLUE
constexpr const char* kTheme = "blue";
#else
constexpr const char* kTheme = "wheel";
#endif

class GoldenScreen : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    sim::SetVolume(2, 5);
    const std::u16string name = u"file://b/mobile/audio/春晓.mp3";
    std::copy(name.begin(), name.end(), player.filename);
    player.filename[name.size()] = 0;
    player.cur = 2;
    player.count = 12;
    player.timeDuraction = 227;
    lyrics_.Tags(u"春晓", u"孟浩然", u"唐诗三百首", u"ZQ")
        .Entry(5000, u"春眠不觉晓 Spring sleep")
        .Entry(15000, u"处处闻啼鸟")
        .Entry(25000, u"夜来风雨声，花落知多少 Night wind and rain, how many petals fell?")
        .Entry(40000, u"花落知多少");
    player.lrc = lyrics_.Build();
    player.iRet = 0;
  }

  // The shell entering its main state draws the whole screen as its focus
  // event does.
  void StartUp() { get_focus(nullptr, nullptr); }

  // Play's redraw once the engine is ready.
  void Play() {
    draw_time();
    draw_bar_all();
    draw_bar();
    draw_vol();
    draw_num();
    draw_name();
    if (player.timePosition == 0 || player.iRet != 0) {
      draw_lrc_info();
    } else {
      draw_lrc();
    }
  }

  // One tick of the one-second timer while the lyrics follow the position.
  void Tick() {
    ++player.timePosition;
    draw_time();
    draw_bar();
    if (player.lrc_flag && player.iRet == 0) draw_lrc();
  }

  void ExpectScreen(const std::string& scene) {
    namespace fs = std::filesystem;
    const std::string file = std::string(kTheme) + "_" + scene + ".png";
    const fs::path golden = fs::path(ZQ_SCREEN_GOLDEN_DIR) / file;
    const fs::path out_dir = fs::path(ZQ_SCREEN_OUT_DIR);
    fs::create_directories(out_dir);
    std::string error;
    const char* update = std::getenv("ZQ_UPDATE_GOLDENS");
    if (update && std::string(update) == "1") {
      ASSERT_TRUE(sim::png::WriteFramebuffer(golden.c_str(), &error)) << error;
      return;
    }
    sim::png::Image expected;
    ASSERT_TRUE(sim::png::ReadRgb(golden.c_str(), &expected, &error))
        << error << " (run with ZQ_UPDATE_GOLDENS=1 to create it, then look at it)";
    ASSERT_EQ(expected.width, 176);
    ASSERT_EQ(expected.height, 220);
    const uint8_t* actual = sim::FramebufferRgb();
    std::vector<uint8_t> diff(176 * 220 * 3);
    size_t differing = 0;
    int first_x = -1, first_y = -1;
    for (int i = 0; i < 176 * 220; ++i) {
      const uint8_t* a = actual + 3 * i;
      const uint8_t* e = expected.rgb.data() + 3 * i;
      const bool same = a[0] == e[0] && a[1] == e[1] && a[2] == e[2];
      if (!same && differing++ == 0) first_x = i % 176, first_y = i / 176;
      // Differences in red over a faded copy of the expected screen.
      diff[3 * i + 0] = same ? (uint8_t)(e[0] / 4 + 160) : 255;
      diff[3 * i + 1] = same ? (uint8_t)(e[1] / 4 + 160) : 0;
      diff[3 * i + 2] = same ? (uint8_t)(e[2] / 4 + 160) : 0;
    }
    const fs::path actual_png = out_dir / (std::string(kTheme) + "_" + scene + ".actual.png");
    const fs::path diff_png = out_dir / (std::string(kTheme) + "_" + scene + ".diff.png");
    if (differing == 0) {
      // Leftovers of an earlier failure would only mislead.
      fs::remove(actual_png);
      fs::remove(diff_png);
      return;
    }
    sim::png::WriteFramebuffer(actual_png.c_str());
    sim::png::WriteRgb(diff_png.c_str(), diff.data(), 176, 220);
    ADD_FAILURE() << differing << " pixels differ from " << golden << ", first at (" << first_x << ", " << first_y
                  << "); see " << actual_png << " and " << diff_png;
  }

  LrcBuilder lyrics_;
};

TEST_F(GoldenScreen, AfterStartUpWithTheLyricsTags) {
  StartUp();
  EXPECT_EQ(player.lrc_flag, 1);
  ExpectScreen("startup_tags");
}

TEST_F(GoldenScreen, DuringALineWithTheNextOneBelow) {
  StartUp();
  player.timePosition = 26;
  Play();
  EXPECT_EQ(player.pos_lrc, 2);
  ExpectScreen("playing_line");
}

TEST_F(GoldenScreen, WithTheMessageOfAMissingLyricsFile) {
  player.iRet = 4;
  StartUp();
  player.timePosition = 0;
  Play();
  EXPECT_EQ(player.lrc_flag, 0);
  ExpectScreen("no_lyrics_file");
}

TEST_F(GoldenScreen, AfterASeekBack) {
  StartUp();
  player.timePosition = 26;
  Play();
  player.timePosition = 16;
  draw_time();
  draw_bar();
  draw_lrc();
  EXPECT_EQ(player.pos_lrc, 1);
  ExpectScreen("after_seek");
}

// The screen shown again at 8 s, paused, with no tick to come: the time,
// the bar and the line of the position at once.
TEST_F(GoldenScreen, AfterTheFocusComesBack) {
  StartUp();
  Play();
  player.timePosition = 8;
  get_focus(nullptr, nullptr);
  EXPECT_EQ(player.pos_lrc, 0);
  ExpectScreen("focus_regained");
}

TEST_F(GoldenScreen, AtTheLastLineWithTheEndMarker) {
  StartUp();
  player.timePosition = 38;
  Play();
  for (int i = 0; i < 3; ++i) Tick();
  EXPECT_EQ(player.pos_lrc, 3);
  ExpectScreen("last_line");
}

}  // namespace
}  // namespace screen_test
