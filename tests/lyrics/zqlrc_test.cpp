// The zqlrc tool, run as a program: its exact JSON, its exit codes and the
// messages of its report.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "lyrics_support.h"

namespace lyrics_test {
namespace {

struct Result {
  int exit_code = -1;
  std::string out;
};

class ZqlrcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("zqlrc-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const Bytes& bytes) const {
    std::string path = (dir_ / name).string();
    std::ofstream out(path, std::ios::binary);
    out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
    return path;
  }

  // Runs zqlrc with the arguments; stdout is kept, stderr goes to the log.
  static Result Run(const std::string& args) {
    Result result;
    std::string command = std::string(ZQLRC_BIN) + " " + args;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    int status = pclose(pipe);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
  }

  std::filesystem::path dir_;
};

struct DumpCase {
  const char* name;
  Bytes file;
  std::string json;
};

void PrintTo(const DumpCase& c, std::ostream* os) {
  *os << c.name;
}

class ZqlrcDumpTest : public ZqlrcTest, public ::testing::WithParamInterface<DumpCase> {};

TEST_P(ZqlrcDumpTest, PrintsTheExactJsonAndExitsZero) {
  const DumpCase& c = GetParam();
  std::string path = Write("song.lrc", c.file);
  for (const char* route : {"", " --patch"}) {
    SCOPED_TRACE(route);
    Result r = Run("dump " + path + route);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out, c.json + "\n");
  }
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ZqlrcDumpTest,
    ::testing::Values(
        DumpCase{"SixLines",
                 Utf8(u"[ti:Song]\r\n[ar:Singer]\r\n[offset:-200]\r\n[00:01.00]First\r\n[00:05.50][00:20.00]Chorus\r\n"
                      u"[00:10.00]Second\r\n",
                      true),
                 R"({"status":0,"encoding":4,"ti":"Song","ar":"Singer","al":"","by":"","offset":-200,)"
                 R"("lines":["First","Chorus","Second"],"times":[[1000,0],[5500,1],[10000,2],[20000,1]]})"},
        DumpCase{"EscapesEveryUnitOutsidePrintableAscii",
                 Concat(Utf16Le(u"[by:\"\\\t]\n[00:01]\u4E2D", true), {0x00, 0xD8, 0x7F, 0x00}),
                 R"({"status":0,"encoding":2,"ti":"","ar":"","al":"","by":"\u0022\u005c\u0009","offset":0,)"
                 R"("lines":["\u4e2d\ud800\u007f"],"times":[[1000,0]]})"},
        DumpCase{"Gb2312", Gb2312(u"[ti:静夜思]"),
                 R"({"status":0,"encoding":1,"ti":"\u9759\u591c\u601d","ar":"","al":"","by":"","offset":0,)"
                 R"("lines":[],"times":[]})"},
        DumpCase{"Encrypted", Raw("[key:12]\n[00:01]a"), R"({"status":5,"encoding":1})"},
        DumpCase{"MissingColon", Raw("[00:01]a\n[12]b"), R"({"status":2,"encoding":1})"},
        DumpCase{"TwoZeroBytes", Bytes{0, 0, 0x41}, R"({"status":3,"encoding":0})"},
        DumpCase{"Empty", Bytes{}, R"({"status":2,"encoding":null})"},
        DumpCase{"TooLong", Bytes(65535, 0x41), R"({"status":2,"encoding":null})"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ZqlrcTest, ShortTableFileFailsTheFileRouteOnly) {
  Bytes table(TableBytes().begin(), TableBytes().end() - 2);
  std::string map = Write("short.map", table);
  std::string path = Write("song.lrc", Raw("[00:01]a"));
  Result r = Run("dump " + path + " --table " + map);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "{\"status\":2,\"encoding\":1}\n");
  // Firmware memory holds a whole table or none: a short one is refused.
  EXPECT_EQ(Run("dump " + path + " --patch --table " + map + " 2>/dev/null").exit_code, 2);
}

TEST_F(ZqlrcTest, UsageErrorsAndUnreadableFilesExitTwo) {
  const std::string cases[] = {"",
                               "dump",
                               "frob x",
                               "dump a b",
                               "dump --bogus x",
                               "dump " + (dir_ / "none").string(),
                               "check --length -3 x",
                               "check " + dir_.string()};
  for (const std::string& args : cases) {
    SCOPED_TRACE(args);
    Result r = Run(args + " 2>/dev/null");
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.out, "");
  }
}

std::u16string ManyLines(int count) {
  std::u16string text;
  for (int k = 0; k < count; ++k) text += u"[00:01]x\n";
  return text;
}

TEST_F(ZqlrcTest, CheckShowsThePhonesMessageAndFailsWhenAnyFileShowsNoLyrics) {
  struct Case {
    const char* name;
    Bytes file;
    int exit_code;
    std::string expected;  // a piece of the report
  };
  const Case cases[] = {
      {"good", Utf8(u"[00:01]a", true), 0, "phone shows: the lyrics"},
      {"key", Raw("[key:1]"), 1, "lrc文件被加密"},
      {"bad", Raw("[00:01]a\n\n[7]b"), 1, "line 3: time tag \"[7]b\" has no ':'"},
      {"nobom", Utf8(u"[00:01]床", false), 0, "UTF-8 without its byte-order mark"},
      {"empty", Bytes{}, 1, "lrc文件错误"},
      {"tags", Raw("[ti:x]"), 1, "the tags only"},
      {"toomany", Utf8(ManyLines(103), true), 0, "it drops 3 timed lines and 3 time tags"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = Write(std::string(c.name) + ".lrc", c.file);
    Result r = Run("check " + path);
    EXPECT_EQ(r.exit_code, c.exit_code);
    EXPECT_NE(r.out.find(c.expected), std::string::npos) << r.out;
  }
}

TEST_F(ZqlrcTest, CheckNamesTimesPastTheEndOfTheTrack) {
  std::string path = Write("song.lrc", Utf8(u"[00:01]a\n[03:05]late\n", true));
  Result r = Run("check --length 180 " + path);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_NE(r.out.find("1 time entries point past the end of the track (180 s): 03:05.000 \"late\""), std::string::npos)
      << r.out;
  EXPECT_EQ(Run("check --length 200 " + path).out.find("past the end"), std::string::npos);
}

}  // namespace
}  // namespace lyrics_test
