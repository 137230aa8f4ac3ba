// SPDX-License-Identifier: MIT
// zqbox as a person runs it: what it refuses before the box starts (one
// line, exit status 2, as zqsim refuses it), what it says without qemu, and
// that its screenshots, trace file and temporary folders work as zqsim's.
// The traces themselves are the parity suite's (parity_run.cmake).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "run_zqsim.h"
#include "sim/host/png/png_writer.h"

namespace fs = std::filesystem;
using zqsim_test::LinesOf;
using zqsim_test::ReadAll;
using zqsim_test::RunResult;
using zqsim_test::TempDir;

namespace {

const std::string kDemo = ZQ_DEMO_DIR;
const std::string kScripts = ZQ_SCRIPTS_DIR;

RunResult RunZqbox(const std::vector<std::string>& args, const std::string& prefix = "") {
  return zqsim_test::RunProgram(ZQBOX_PATH, args, prefix);
}

}  // namespace

TEST(Zqbox, MistakesAreRefusedInOneLineBeforeTheBoxStarts) {
  TempDir dir;
  // A phone image cut short, and a script with a bad third line.
  std::string cut = dir.Path() + "/cut.elf";
  std::ofstream(cut, std::ios::binary) << ReadAll(ZQ_PHONE_DIR "/zq_player.elf").substr(0, 600);
  std::string script = dir.Path() + "/bad.script";
  std::ofstream(script) << "wait 100\ntap 0x2C\nhold 0x2F\n";
  struct Case {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"--headless"}, "zqbox: no PATH given (zqbox --help lists the options)"},
      {{"--bogus", kDemo}, "unknown option --bogus"},
      {{"--image", "zq_missing", kDemo}, "unknown image zq_missing (zq_player_blue,"},
      {{"--images", "/nonexistent", kDemo}, "no image /nonexistent/zq_player_blue.elf"},
      {{"--image", ZQ_IMAGE_DIR "/zq_player.so", kDemo}, "zq_player.so is a host image; zqbox runs the phone images"},
      {{"--image", kDemo + "/make_demo.sh", kDemo}, "make_demo.sh is not a player image (not an ELF file)"},
      {{"--image", cut, kDemo}, "cut.elf is not a player image (segment 0 lies past the end of the file)"},
      {{"--image", ZQBOX_PROGRAM, kDemo}, "is not a player image (not a shared image (type 2"},
      {{"/nonexistent/zq/music"}, "no such file or folder: /nonexistent/zq/music"},
      {{"--shots", "/proc", kDemo}, "--shots: cannot write into the folder /proc"},
      {{"--gb2uc", kDemo + "/lrc/01_jingyesi.lrc", kDemo}, "is not a GB2312 table (15228 bytes)"},
      {{"--script", script, kDemo}, "bad.script:3: expected \"hold KEY MS\""},
  };
  for (const Case& c : cases) {
    auto r = RunZqbox(c.args);
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.rfind("zqbox: ", 0), 0u) << r.err;
    EXPECT_EQ(r.out, "") << c.message;
  }
}

TEST(Zqbox, WithoutQemuSaysHowToInstallIt) {
  auto r = RunZqbox({"--headless", "--script", kScripts + "/window_smoke.script", kDemo}, "PATH=/nonexistent");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "zqbox: qemu-armeb is not installed; install it with: apt-get install qemu-user\n");
  EXPECT_EQ(r.out, "");
}

TEST(Zqbox, HelpNamesEveryOptionOfZqsimHeadless) {
  auto r = RunZqbox({"-h"});
  ASSERT_EQ(r.status, 0);
  for (const char* word : {"--headless", "--script", "--until-end", "--shots", "--trace", "--image", "--images",
                           "--root", "--platform", "--gb2uc", "-v", "qemu-armeb", "Exit status"})
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
  for (const std::string& line : LinesOf(r.out)) EXPECT_LE(line.size(), 80u) << line;
}

// The box's own PNG files hold the pixels whose checksums its trace shows;
// its temporary folders are gone afterwards.
TEST(Zqbox, ScreenshotsHoldTheScreensOfTheTraceAndNothingIsLeftBehind) {
  TempDir shots, tmp;
  auto r = RunZqbox({"--headless", "--script", kScripts + "/demo_keys.script", "--shots", shots.Path(), kDemo},
                    "TMPDIR=" + tmp.Path());
  ASSERT_EQ(r.status, 0) << r.err;
  int seen = 0;
  for (const std::string& l : LinesOf(r.out)) {
    std::istringstream in(l);
    std::string time, word, name, crc;
    in >> time >> word >> name >> crc;
    if (word != "shot") continue;
    ++seen;
    sim::png::Image img;
    std::string error;
    ASSERT_TRUE(sim::png::ReadRgb((shots.Path() + "/" + name + ".png").c_str(), &img, &error)) << error;
    ASSERT_EQ(img.width, 176);
    ASSERT_EQ(img.height, 220);
    char hex[16];
    snprintf(hex, sizeof hex, "%08x", sim::png::Crc32Rgb(img.rgb.data(), img.width, img.height));
    EXPECT_EQ(crc, hex) << name;
  }
  EXPECT_EQ(seen, 4);
  EXPECT_TRUE(fs::is_empty(tmp.Path())) << "a temporary folder stayed in " << tmp.Path();
}

TEST(Zqbox, TraceFileTakesTheTraceInsteadOfTheOutput) {
  TempDir dir;
  std::string trace = dir.Path() + "/run.trace";
  auto r = RunZqbox({"--headless", "--trace", trace, "--script", kScripts + "/window_smoke.script", kDemo});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(ReadAll(trace).rfind("0 shell start\n", 0), 0u);
  auto bad = RunZqbox({"--headless", "--trace", dir.Path() + "/no/such/dir/t", kDemo});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "zqbox: cannot write the trace " + dir.Path() + "/no/such/dir/t\n");
  EXPECT_EQ(bad.out, "");
}
