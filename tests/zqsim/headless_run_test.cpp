// SPDX-License-Identifier: MIT
// zqsim headless over the demo folder and over broken input: the trace of a
// key script against its golden (screen checksums included), a play-through
// in list order with the lyric lines at their seconds, and clear failures.
//
// ZQ_UPDATE_GOLDENS=1 rewrites the expected traces after a deliberate change.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "run_zqsim.h"
#include "sim/host/png/png_writer.h"

namespace fs = std::filesystem;
using zqsim_test::LinesOf;
using zqsim_test::ReadAll;
using zqsim_test::RunZqsim;
using zqsim_test::TempDir;

namespace {

const std::string kDemo = ZQ_DEMO_DIR;
const std::string kData = ZQ_TEST_DATA_DIR;
const std::string kExpected = ZQ_EXPECTED_DIR;
const std::string kScripts = ZQ_SCRIPTS_DIR;

bool UpdatingGoldens() {
  const char* v = getenv("ZQ_UPDATE_GOLDENS");
  return v != nullptr && std::string(v) == "1";
}

// Compares a trace with its golden line by line, so that a failure names
// the first line that differs.
void ExpectGolden(const std::string& trace, const std::string& golden_name) {
  std::string path = kExpected + "/" + golden_name;
  if (UpdatingGoldens()) {
    std::ofstream(path, std::ios::binary) << trace;
    GTEST_SKIP() << "rewrote " << path;
  }
  ASSERT_TRUE(fs::exists(path)) << "no golden " << path << "; run with ZQ_UPDATE_GOLDENS=1 to write it";
  std::vector<std::string> want = LinesOf(ReadAll(path)), got = LinesOf(trace);
  for (size_t i = 0; i < want.size() && i < got.size(); ++i) {
    ASSERT_EQ(got[i], want[i]) << "line " << i + 1 << " of " << golden_name;
  }
  EXPECT_EQ(got.size(), want.size()) << golden_name;
}

// The "shot NAME CRC" lines of a trace.
std::vector<std::pair<std::string, std::string>> ShotsOf(const std::string& trace) {
  std::vector<std::pair<std::string, std::string>> shots;
  for (const std::string& l : LinesOf(trace)) {
    std::istringstream in(l);
    std::string time, word, name, crc;
    in >> time >> word >> name >> crc;
    if (word == "shot") shots.push_back({name, crc});
  }
  return shots;
}

struct ImageCase {
  const char* image;
  const char* golden;  // the PATCH builds must give exactly their base build's trace
};
const ImageCase kImages[] = {
    {"zq_player_blue", "demo_keys_blue.trace"},
    {"zq_player_blue_patch", "demo_keys_blue.trace"},
    {"zq_player", "demo_keys_wheel.trace"},
    {"zq_player_patch", "demo_keys_wheel.trace"},
};

}  // namespace

TEST(HeadlessRun, KeyScriptOverTheDemoGivesTheExpectedTraceAndScreens) {
  for (const ImageCase& c : kImages) {
    SCOPED_TRACE(c.image);
    TempDir shots;
    auto r = RunZqsim(
        {"--headless", "--image", c.image, "--script", kScripts + "/demo_keys.script", "--shots", shots.Path(), kDemo});
    ASSERT_EQ(r.status, 0) << r.err;
    // Each checksum in the trace is that of the PNG written beside it.
    auto shots_seen = ShotsOf(r.out);
    ASSERT_EQ(shots_seen.size(), 4u);
    for (auto& [name, crc] : shots_seen) {
      sim::png::Image img;
      std::string error;
      ASSERT_TRUE(sim::png::ReadRgb((shots.Path() + "/" + name + ".png").c_str(), &img, &error)) << error;
      ASSERT_EQ(img.width, 176);
      ASSERT_EQ(img.height, 220);
      char hex[16];
      snprintf(hex, sizeof hex, "%08x", sim::png::Crc32Rgb(img.rgb.data(), img.width, img.height));
      EXPECT_EQ(crc, hex) << name;
    }
    ExpectGolden(r.out, c.golden);
  }
}

TEST(HeadlessRun, PlayThroughVisitsEveryTrackInNameOrderWithLinesAtTheirSeconds) {
  TempDir shots;
  auto r = RunZqsim({"--until-end", "--shots", shots.Path(), kDemo});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> tracks;
  std::map<std::string, uint32_t> started;
  std::map<std::string, uint32_t> line_at;  // lyric line shown in black -> ms after its track began
  std::string current;
  for (const std::string& l : LinesOf(r.out)) {
    uint32_t t = std::stoul(l);
    std::string rest = l.substr(l.find(' ') + 1);
    if (rest.rfind("track \"", 0) == 0) {
      current = rest.substr(7, rest.size() - 8);
      tracks.push_back(current);
      if (!started.count(current)) started[current] = t;
    } else if (rest.rfind("lyrics \"", 0) == 0) {
      std::string black = rest.substr(8, rest.find('"', 8) - 8);
      if (!line_at.count(black)) line_at[black] = t - started[current];
    }
  }
  const std::vector<std::string> order = {"01_jingyesi.mp3", "02_chunxiao.m4a", "03_dengguanque.mp3",
                                          "04_no_lyrics.m4a", "01_jingyesi.mp3"};
  EXPECT_EQ(tracks, order);
  // Tracks follow each other at their real lengths (26.07 s, 24 s, 22.07 s, 20 s).
  EXPECT_NEAR(started["02_chunxiao.m4a"], 26070, 100);
  EXPECT_NEAR(started["04_no_lyrics.m4a"] - started["03_dengguanque.mp3"], 22070, 100);
  // Every line, the first of each track included, is current from the first
  // tick whose second plus half a second reaches its time: 8.0 s at the tick
  // of 8 s, 2.5 s already at 2 s, 11.5 s at 11 s.
  struct Line {
    const char* text;
    uint32_t ms;
  } lines[] = {{"床前明月光", 3000},                  // GB2312
               {"疑是地上霜", 8000},                  //
               {"举头望明月", 13000},                 //
               {"低头思故乡", 18000},                 //
               {"春眠不觉晓", 2000},                  // UTF-8, 2.5 s
               {"处处闻啼鸟", 7000},                  //
               {"夜来风雨声", 11000},                 // 11.5 s
               {"花落知多少", 16000},                 //
               {"Spring dawn, an old |poem", 20000},  // on two rows
               {"白日依山尽", 3000},                  // UTF-16
               {"黄河入海流", 7000},                  //
               {"欲穷千里目", 11000},                 //
               {"更上一层楼", 15000}};
  for (const Line& l : lines) {
    ASSERT_TRUE(line_at.count(l.text)) << l.text;
    EXPECT_EQ(line_at[l.text], l.ms) << l.text;
  }
  EXPECT_TRUE(line_at.count("静夜思|李白|唐诗三百首|zq demo"));
  EXPECT_EQ(line_at.count("lrc文件不存在"), 1u);
  for (const char* shot : {"01-01_jingyesi", "02-02_chunxiao", "03-03_dengguanque", "04-04_no_lyrics"})
    EXPECT_TRUE(fs::exists(shots.Path() + "/" + shot + ".png")) << shot;
}

TEST(HeadlessRun, BadScriptLineStopsTheRunBeforeAnythingHappens) {
  TempDir dir;
  std::string script = dir.Path() + "/bad.script";
  std::ofstream(script) << "wait 100\ntap 0x2C\nhold 0x2F\nshot x\n";
  auto r = RunZqsim({"--headless", "--script", script, "--shots", dir.Path(), kDemo});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("bad.script:3: expected \"hold KEY MS\""), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir.Path() + "/x.png"));
}

TEST(HeadlessRun, CommandLineMistakesAreRefused) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  } cases[] = {
      {{"--headless"}, 2, "no PATH given"},
      {{"--headless", "--scale", "9", kDemo}, 2, "--scale"},
      {{"--headless", "--bogus", kDemo}, 2, "unknown option --bogus"},
      {{"--headless", "--script"}, 2, "--script needs a value"},
      {{"--headless", "--scale", "x", kDemo}, 2, "--scale takes a whole number from 1 to 6"},
      {{"--scale", "0", kDemo}, 2, "--scale takes a whole number from 1 to 6"},
      {{"--headless", "/nonexistent/zq/music"}, 2, "no such file or folder: /nonexistent/zq/music"},
      {{"/nonexistent/zq/music"}, 2, "no such file or folder"},  // also without --headless and a display
      {{"--headless", kDemo + "/lrc"}, 2, "no *.mp3 or *.m4a file in"},
      {{"--headless", kDemo + "/make_demo.sh"}, 2, "is not an *.mp3 or *.m4a file"},
      {{"--headless", "--image", "zq_missing", kDemo}, 2, "unknown image zq_missing (zq_player_blue,"},
      {{"--headless", "--image", "/nonexistent/x.so", kDemo}, 2, "no image file /nonexistent/x.so"},
      {{"--headless", "--images", "/nonexistent", kDemo}, 2, "no image /nonexistent/zq_player_blue.so"},
      {{"--headless", "--image", kDemo + "/make_demo.sh", kDemo}, 2, "make_demo.sh is not a player image (not an ELF"},
      {{"--headless", "--image", ZQSIM_PATH, kDemo}, 2, "zqsim is not a player image (it has no entry Lib)"},
      {{"--headless", "--image", ZQ_TEST_IMAGE_MISSING_IMPORT, kDemo}, 2, "imports ZQ_NoSuchService, which the"},
      {{"--headless", "--shots", kDemo + "/make_demo.sh", kDemo}, 2, "make_demo.sh is not a folder"},
      {{"--headless", "--shots", kDemo + "/make_demo.sh/shots", kDemo}, 2, "--shots: cannot make the folder"},
      {{"--headless", "--shots", "/proc", kDemo}, 2, "--shots: cannot write into the folder /proc"},
      {{"--headless", "--gb2uc", "/nonexistent/gb2uc.map", kDemo}, 2, "no GB2312 table /nonexistent/gb2uc.map"},
      {{"--headless", "--gb2uc", kDemo + "/lrc/01_jingyesi.lrc", kDemo}, 2, "is not a GB2312 table (15228 bytes)"},
      {{"--headless", "--root", "/nonexistent", kDemo}, 2, "no such folder: /nonexistent"},
      {{"--headless", "--root", kData, kDemo}, 2, "does not lie in the root folder"},
  };
  for (const Case& c : cases) {
    auto r = RunZqsim(c.args, "env -u DISPLAY -u WAYLAND_DISPLAY");
    EXPECT_EQ(r.status, c.status) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    // One line says what is wrong; nothing else is printed.
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.rfind("zqsim: ", 0), 0u) << r.err;
    EXPECT_EQ(r.out, "") << c.message;
  }
}

TEST(HeadlessRun, RefusedRunLeavesNoTraceFile) {
  TempDir dir;
  std::string trace = dir.Path() + "/run.trace";
  auto r = RunZqsim({"--headless", "--trace", trace, "/nonexistent/zq/music"});
  EXPECT_EQ(r.status, 2);
  EXPECT_FALSE(fs::exists(trace));
}

TEST(HeadlessRun, HelpNamesEveryOptionAndScriptStep) {
  auto r = RunZqsim({"--help"});
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  for (const char* word :
       {"--headless", "--script",      "--until-end",  "--shots",   "--trace",     "--image",     "--images",
        "--root",     "--platform",    "--gb2uc",      "--scale",   "--key-map",   "-v",          "wait MS",
        "press K",    "release K",     "tap K",        "hold K MS", "lock on|off", "call on|off", "front idle|other",
        "shot NAME",  "key NAME [MS]", "fail alloc N", "end",       "F1",          "F5",          "F6",
        "F7",         "F12",           "Exit status"}) {
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
  }
  // It reads on a terminal of 80 columns.
  for (const std::string& line : LinesOf(r.out)) EXPECT_LE(line.size(), 80u) << line;
}

// Tracks with names in mixed case and no lyrics file anywhere: every track
// plays and shows that its lyrics file does not exist.
TEST(HeadlessRun, FolderWithoutLyricsPlaysEveryTrackWithItsMessage) {
  TempDir dir;
  fs::copy_file(kDemo + "/01_jingyesi.mp3", dir.Path() + "/Song.MP3");
  fs::copy_file(kDemo + "/02_chunxiao.m4a", dir.Path() + "/Tune.M4a");
  auto r = RunZqsim({"--until-end", dir.Path()});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> tracks, messages;
  for (const std::string& l : LinesOf(r.out)) {
    std::string rest = l.substr(l.find(' ') + 1);
    if (rest.rfind("track ", 0) == 0) tracks.push_back(rest);
    if (rest.rfind("lyrics ", 0) == 0) messages.push_back(rest);
  }
  EXPECT_EQ(tracks, (std::vector<std::string>{"track \"Song.MP3\"", "track \"Tune.M4a\"", "track \"Song.MP3\""}));
  ASSERT_FALSE(messages.empty());
  for (const std::string& m : messages) EXPECT_EQ(m, "lyrics \"lrc文件不存在\" \"\"");
  // Each of the two tracks showed it at its start.
  EXPECT_GE(messages.size(), 2u);
}

// The keyboard's simulator keys in a script, as a person types them in the
// window: F5 locks the keypad (the play key does nothing), F6 begins a call,
// F7 puts another application in front (the show key is not the player's
// there), F12 saves the phone's screen.
TEST(HeadlessRun, SimulatorKeysInAScriptActAsInTheWindow) {
  TempDir dir;
  std::string script = dir.Path() + "/keys.script";
  std::ofstream(script) << "wait 1500\nkey F5\nkey Up\nshot locked\nkey F5\nkey F6\nkey F6\n"
                           "key Escape\nkey F7\nkey Down\nkey F12\nkey F7\nkey Down\nkey End\n";
  auto r = RunZqsim({"--headless", "--script", script, "--shots", dir.Path(), kDemo});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> got;
  for (const std::string& l : LinesOf(r.out)) {
    std::string rest = l.substr(l.find(' ') + 1);
    if (l.rfind("0 ", 0) == 0 || rest.rfind("lyrics ", 0) == 0) continue;  // the start, the lyrics area
    got.push_back(rest.rfind("shot ", 0) == 0 ? rest.substr(0, rest.rfind(' ')) : rest);
  }
  const std::vector<std::string> want = {
      "lock on",                                                  // F5: Up is not taken
      "shot locked",      "lock off",                             //
      "call on",          "indicator 2",                          // F6: the call ends the playing track,
      "engine seek 1000", "call off",                             // the player seeks back to where it was
      "shell exit",                                               // Esc hides the screen
      "front other",                                              // F7; Down is not for the player here
      "shot zqsim-1",                                             // F12
      "front idle",       "shell start",                          // on the idle screen Down shows it again
      "engine delete",    "indicator 0", "shell exit", "unload",  // End
  };
  EXPECT_EQ(got, want) << r.out;
  EXPECT_EQ(r.err, "zqsim: the player has ended: exit key\n");
  EXPECT_TRUE(fs::exists(dir.Path() + "/zqsim-1.png"));
  EXPECT_TRUE(fs::exists(dir.Path() + "/locked.png"));
}

// An empty and a non-audio file between good tracks are opened, break off at
// their start and are passed over: the player plays on through every good
// track, and says once for each broken file why it did not play.
TEST(HeadlessRun, BrokenFilesBreakOffAndThePlayerPlaysOn) {
  TempDir dir;
  fs::copy_file(kDemo + "/01_jingyesi.mp3", dir.Path() + "/1.mp3");
  std::ofstream(dir.Path() + "/2 empty.mp3");
  fs::copy_file(kData + "/not_audio.mp3", dir.Path() + "/3 not audio.mp3");
  fs::copy_file(kDemo + "/04_no_lyrics.m4a", dir.Path() + "/4.m4a");
  auto r = RunZqsim({"--until-end", dir.Path()});
  EXPECT_EQ(r.status, 0) << r.err;
  std::vector<std::pair<uint32_t, std::string>> tracks;
  for (const std::string& l : LinesOf(r.out))
    if (l.find(" track ") != std::string::npos) tracks.push_back({std::stoul(l), l.substr(l.find('"'))});
  const std::vector<std::string> order = {"\"1.mp3\"", "\"2 empty.mp3\"", "\"3 not audio.mp3\"", "\"4.m4a\"",
                                          "\"1.mp3\""};
  ASSERT_EQ(tracks.size(), order.size()) << r.out;
  for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(tracks[i].second, order[i]);
  // Each broken file: 100 ms to its break, a seek back, 100 ms more.
  EXPECT_EQ(tracks[2].first - tracks[1].first, 200u);
  EXPECT_EQ(tracks[3].first - tracks[2].first, 200u);
  EXPECT_EQ(r.err,
            "zqsim: 2 empty.mp3 breaks off at its start: it is broken (empty, or not audio)\n"
            "zqsim: 3 not audio.mp3 breaks off at its start: it is broken (empty, or not audio)\n");
}

TEST(HeadlessRun, TemporaryPhoneFolderIsRemovedAtTheEnd) {
  TempDir tmp;
  auto r = RunZqsim({"--headless", "--script", kScripts + "/window_smoke.script", kDemo}, "TMPDIR=" + tmp.Path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("shot window-second"), std::string::npos) << r.out;
  EXPECT_TRUE(fs::is_empty(tmp.Path())) << "the phone folder stayed in " << tmp.Path();
}

TEST(HeadlessRun, TraceFileTakesTheTraceInsteadOfTheOutput) {
  TempDir dir;
  std::string trace = dir.Path() + "/run.trace";
  auto r = RunZqsim({"--headless", "--trace", trace, "--script", kScripts + "/window_smoke.script", kDemo});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  std::string written = ReadAll(trace);
  EXPECT_EQ(written.rfind("0 shell start\n", 0), 0u) << written;
  EXPECT_NE(written.find(" shot window-hidden "), std::string::npos) << written;
  auto bad = RunZqsim({"--headless", "--trace", dir.Path() + "/no/such/dir/t", kDemo});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("cannot write the trace"), std::string::npos) << bad.err;
}

// F12 numbers its screenshots on from those already in the folder, so that a
// second run keeps the first run's pictures.
TEST(HeadlessRun, F12ScreenshotsKeepThoseOfEarlierRuns) {
  TempDir dir;
  std::ofstream(dir.Path() + "/zqsim-1.png") << "earlier";
  std::ofstream(dir.Path() + "/zqsim-7.png") << "earlier";
  std::ofstream(dir.Path() + "/zqsim-7-window.png") << "earlier";
  std::ofstream(dir.Path() + "/zqsim-x.png") << "not ours";
  std::string script = dir.Path() + "/keys.script";
  std::ofstream(script) << "wait 200\nkey F12\nkey F12\n";
  auto r = RunZqsim({"--headless", "--script", script, "--shots", dir.Path(), kDemo});
  ASSERT_EQ(r.status, 0) << r.err;
  auto shots = ShotsOf(r.out);
  ASSERT_EQ(shots.size(), 2u) << r.out;
  EXPECT_EQ(shots[0].first, "zqsim-8");
  EXPECT_EQ(shots[1].first, "zqsim-9");
  EXPECT_EQ(ReadAll(dir.Path() + "/zqsim-1.png"), "earlier");
  EXPECT_EQ(ReadAll(dir.Path() + "/zqsim-7.png"), "earlier");
  EXPECT_TRUE(fs::exists(dir.Path() + "/zqsim-8.png"));
  EXPECT_TRUE(fs::exists(dir.Path() + "/zqsim-9.png"));
}

// The play-through's screenshots are named after their tracks, Chinese
// names included; what a file name cannot hold becomes "_".
TEST(HeadlessRun, PlayThroughScreenshotsKeepTheTracksNames) {
  TempDir dir;
  fs::create_directories(dir.Path() + "/music");
  fs::copy_file(kDemo + "/01_jingyesi.mp3", dir.Path() + "/music/静夜思.mp3");
  fs::copy_file(kDemo + "/04_no_lyrics.m4a", dir.Path() + "/music/a b&c.m4a");
  auto r = RunZqsim({"--until-end", "--shots", dir.Path() + "/shots", dir.Path() + "/music"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(dir.Path() + "/shots/01-a_b_c.png")) << r.out;
  EXPECT_TRUE(fs::exists(dir.Path() + "/shots/02-静夜思.png")) << r.out;
}
