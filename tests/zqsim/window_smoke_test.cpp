// SPDX-License-Identifier: MIT
// The window under a virtual X server: it opens, takes keys from a script,
// and saves its contents; the phone's screen in it is the framebuffer scaled.
// Skipped when xvfb-run is not installed. No sound device is needed.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "run_zqsim.h"
#include "sim/host/png/png_writer.h"
#include "tools/zqsim/window.h"

namespace fs = std::filesystem;

namespace {
// The system's display and D-Bus libraries that SDL loads keep blocks until
// exit; under AddressSanitizer those are not this program's leaks (headless
// runs, which load none of them, keep leak checking).
const std::string kWindowEnv = "SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 timeout 60 xvfb-run -a";
}  // namespace

TEST(WindowSmoke, WindowOpensTakesKeysAndShowsTheScreenScaled) {
  if (system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
  char pattern[] = "/tmp/zqsim_window.XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::string shots = pattern;
  auto r = zqsim_test::RunZqsim(
      {"--script", std::string(ZQ_SCRIPTS_DIR) + "/window_smoke.script", "--shots", shots, "--scale", "2", ZQ_DEMO_DIR},
      kWindowEnv + " -s '-screen 0 1024x768x24'");
  ASSERT_EQ(r.status, 0) << r.err;
  // The script's key reached the program: the second track was created.
  EXPECT_NE(r.out.find("track \"02_chunxiao.m4a\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("shell exit"), std::string::npos) << r.out;

  for (const char* name : {"window-second", "window-hidden"}) {
    SCOPED_TRACE(name);
    sim::png::Image screen, window;
    std::string error;
    ASSERT_TRUE(sim::png::ReadRgb((shots + "/" + name + ".png").c_str(), &screen, &error)) << error;
    ASSERT_TRUE(sim::png::ReadRgb((shots + "/" + name + "-window.png").c_str(), &window, &error)) << error;
    const zqsim::WindowLayout layout = zqsim::MakeWindowLayout(2);
    ASSERT_EQ(screen.width, 176);
    ASSERT_EQ(window.width, layout.width);
    ASSERT_EQ(window.height, layout.height);
    int differing = 0;
    for (int y = 0; y < 220; ++y) {
      for (int x = 0; x < 176; ++x) {
        const uint8_t* s = &screen.rgb[(y * 176 + x) * 3];
        const uint8_t* w =
            &window.rgb[((layout.screen_y + 2 * y + 1) * window.width + layout.screen_x + 2 * x + 1) * 3];
        if (s[0] != w[0] || s[1] != w[1] || s[2] != w[2]) ++differing;
      }
    }
    EXPECT_EQ(differing, 0);
  }
  fs::remove_all(shots);
}

// With a sound device (SDL's dummy one here), tracks end when their decoded
// sound has been played out, and the clock follows that sound; a file that
// breaks off is restarted once by the program and then given up, not looped.
TEST(WindowSmoke, SoundEndsTracksAndAFileThatBreaksOffDoesNotLoop) {
  if (system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
  char pattern[] = "/tmp/zqsim_tones.XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::string dir = pattern;
  const std::string data = ZQ_TEST_DATA_DIR;
  fs::create_symlink(data + "/tone_2500ms.mp3", dir + "/a.mp3");
  fs::create_symlink(data + "/tone_2500ms.m4a", dir + "/b.m4a");
  fs::create_symlink(data + "/cut_in_middle.m4a", dir + "/c.m4a");
  std::ofstream(dir + "/run.script") << "wait 7000\n";
  auto r = zqsim_test::RunZqsim({"--script", dir + "/run.script", dir + "/a.mp3"}, kWindowEnv);
  fs::remove_all(dir);
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::pair<uint32_t, std::string>> tracks;
  int seeks = 0;
  for (const std::string& l : zqsim_test::LinesOf(r.out)) {
    uint32_t t = std::stoul(l);
    if (l.find(" track \"") != std::string::npos) tracks.push_back({t, l.substr(l.find('"'))});
    if (l.find(" engine seek ") != std::string::npos) ++seeks;
  }
  ASSERT_GE(tracks.size(), 4u) << r.out;
  EXPECT_EQ(tracks[0].second, "\"a.mp3\"");
  EXPECT_EQ(tracks[1].second, "\"b.m4a\"");
  EXPECT_EQ(tracks[2].second, "\"c.m4a\"");
  EXPECT_EQ(tracks[3].second, "\"a.mp3\"");
  // Each tone is 2.5 s of sound; the clock moved by what was heard.
  EXPECT_NEAR(tracks[1].first - tracks[0].first, 2500, 150);
  EXPECT_NEAR(tracks[2].first - tracks[1].first, 2500, 150);
  // The cut file: it breaks off after about a second, is sought back once by
  // the program, breaks off again at the same place and is left.
  EXPECT_EQ(seeks, 1) << r.out;
  EXPECT_NE(r.err.find("breaks off"), std::string::npos) << r.err;
  EXPECT_LT(tracks[3].first - tracks[2].first, 2000u);
}

namespace {
// Pixels of the side panel (right of the scaled screen) in the colour the
// panel gives a locked keypad and a call.
int AlarmPixels(const sim::png::Image& window) {
  int n = 0;
  for (int y = 0; y < window.height; ++y)
    for (int x = zqsim::MakeWindowLayout(2).panel_x; x < window.width; ++x) {
      const uint8_t* p = &window.rgb[(y * window.width + x) * 3];
      if (p[0] == 0xF0 && p[1] == 0x70 && p[2] == 0x70) ++n;
    }
  return n;
}
}  // namespace

// The simulator keys typed in the window (F5, F6, F7, F12) and the script's
// own lock step: the phone changes, the trace says so, F12 saves the screen
// and the window, and the panel shows the lock the program sees.
TEST(WindowSmoke, SimulatorKeysChangeThePhoneAndThePanelShowsIt) {
  if (system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run is not installed";
  char pattern[] = "/tmp/zqsim_fkeys.XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::string dir = pattern;
  std::ofstream(dir + "/keys.script") << "wait 300\nshot plain\nkey F5\nwait 100\nshot f5\nkey F5\n"
                                         "lock on\nwait 100\nshot step\nlock off\nkey F6\nwait 100\n"
                                         "shot call\nkey F6\nkey Escape\nkey F7\nwait 100\nkey F12\n"
                                         "wait 300\nkey F7\nkey Down\nwait 300\n";
  auto r = zqsim_test::RunZqsim({"--script", dir + "/keys.script", "--shots", dir, ZQ_DEMO_DIR},
                                kWindowEnv + " -s '-screen 0 1024x768x24'");
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> changes;
  for (const std::string& l : zqsim_test::LinesOf(r.out)) {
    std::string rest = l.substr(l.find(' ') + 1);
    for (const char* word : {"lock ", "call ", "front ", "shot zqsim-1 ", "shell "})
      if (rest.rfind(word, 0) == 0) changes.push_back(rest.rfind("shot", 0) == 0 ? "shot zqsim-1" : rest);
  }
  const std::vector<std::string> want = {"shell start", "lock on",      "lock off",   "lock on",
                                         "lock off",    "call on",      "call off",   "shell exit",
                                         "front other", "shot zqsim-1", "front idle", "shell start"};
  EXPECT_EQ(changes, want) << r.out;
  EXPECT_TRUE(fs::exists(dir + "/zqsim-1.png"));
  EXPECT_TRUE(fs::exists(dir + "/zqsim-1-window.png"));
  struct Shot {
    const char* name;
    bool alarm;  // "locked" or "in a call" in the panel
  } shots[] = {{"plain", false}, {"f5", true}, {"step", true}, {"call", true}};
  for (const Shot& s : shots) {
    SCOPED_TRACE(s.name);
    sim::png::Image window;
    std::string error;
    ASSERT_TRUE(sim::png::ReadRgb((dir + "/" + s.name + "-window.png").c_str(), &window, &error)) << error;
    EXPECT_EQ(AlarmPixels(window) > 0, s.alarm);
  }
  fs::remove_all(dir);
}

// The phone's keys under a real mouse (xdotool moves the X server's
// pointer): a click on the volume-up key changes the volume, and the
// seek-forward key held until the seeking has begun (the engine pauses) is
// a seek where a tap would change the track.
TEST(WindowSmoke, TheMouseClicksAndHoldsThePhonesKeys) {
  if (system("command -v xvfb-run >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "xvfb-run or xdotool is not installed";
  char pattern[] = "/tmp/zqsim_mouse.XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::string dir = pattern;
  const zqsim::WindowLayout layout = zqsim::MakeWindowLayout(2);
  const zqsim::PhoneBody& p = layout.phone;
  const zqsim::Rect up = zqsim::FindBodyKey(p, 0x17)->rect;
  const int up_x = (up.x + p.body.x) / 2, up_y = layout.phone_y + up.y + up.h / 2;
  const int right_x = p.pad_x + (p.pad_radius + p.pad_hole) / 2, right_y = layout.phone_y + p.pad_y;
  // The clicks wait for the window's first screenshot: by then it is drawing
  // frames and takes each click when it comes.
  std::ofstream(dir + "/run.script") << "wait 200\nshot ready\nwait 6000\n";
  std::ofstream(dir + "/mouse.sh") << zqsim_test::ShellQuoted(ZQSIM_PATH) << " --script " << dir << "/run.script "
                                   << "--shots " << dir << " " << ZQ_DEMO_DIR << " >" << dir << "/out 2>" << dir
                                   << "/err &\n"
                                   << "for i in $(seq 300); do [ -e " << dir
                                   << "/ready-window.png ] && break; sleep 0.1; done\n"
                                   << "w=$(xdotool search --sync --onlyvisible --name '^zqsim')\n"
                                   << "xdotool mousemove --window $w " << up_x << " " << up_y << " click 1\nsleep 0.5\n"
                                   << "xdotool mousemove --window $w " << right_x << " " << right_y
                                   << " mousedown 1\nfor i in $(seq 300); do grep -q 'engine pause' " << dir
                                   << "/out && break; sleep 0.1; done\nsleep 0.3\nxdotool mouseup 1\nwait\n";
  // Without a sound device the clock follows the wall clock, which a busy
  // machine does not hold back as it can the sound.
  const std::string env = "SDL_AUDIODRIVER=none ASAN_OPTIONS=detect_leaks=0 timeout 60 xvfb-run -a";
  int raw = system((env + " -s '-screen 0 1280x1024x24' sh " + dir + "/mouse.sh").c_str());
  std::string out = zqsim_test::ReadAll(dir + "/out"), err = zqsim_test::ReadAll(dir + "/err");
  fs::remove_all(dir);
  ASSERT_EQ(raw, 0) << err;
  std::vector<std::string> facts;
  for (const std::string& l : zqsim_test::LinesOf(out)) {
    std::string rest = l.substr(l.find(' ') + 1);
    if (rest.rfind("engine seek ", 0) == 0) rest = "engine seek";  // wherever the hold took it
    for (const char* word : {"volume ", "engine pause", "engine seek", "track "})
      if (rest.rfind(word, 0) == 0) facts.push_back(rest);
  }
  // A seek that reaches the track's end goes on to the next track.
  const std::vector<std::string> want = {"track \"01_jingyesi.mp3\"", "volume 5", "engine pause", "engine seek"};
  if (facts.size() > want.size()) facts.resize(want.size());
  EXPECT_EQ(facts, want) << out;
}
