// SPDX-License-Identifier: MIT
// The zqlrc tool, run as a program: its exact JSON, its exit codes, the
// messages of its report, the files fix writes and the verdicts of scan.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
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
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
    return path;
  }

  // The file's bytes; none when it does not exist.
  static Bytes Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  size_t FilesInFolder() const {
    auto files = std::filesystem::directory_iterator(dir_);
    return (size_t)std::distance(begin(files), end(files));
  }

  // Runs zqlrc with the arguments; stdout is kept, stderr goes to the log.
  static Result Run(const std::string& args, const std::string& before = "") {
    Result result;
    std::string command = before + std::string(ZQLRC_BIN) + " " + args;
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

TEST_F(ZqlrcTest, UsageErrorsAndUnreadableFilesExitTwoWithOneLine) {
  const std::string cases[] = {"",
                               "dump",
                               "frob x",
                               "dump a b",
                               "dump --bogus x",
                               "dump " + (dir_ / "none").string(),
                               "check --length -3 x",
                               "check " + dir_.string(),
                               "check --lrc d x",
                               "fix --out a --in-place x",
                               "fix --to latin1 x",
                               "fix --from no-such-code x",
                               "scan a b",
                               "scan " + (dir_ / "none").string()};
  for (const std::string& args : cases) {
    SCOPED_TRACE(args);
    Result r = Run(args + " 2>&1");
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.out.rfind("zqlrc: ", 0), 0u) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
  }
}

TEST_F(ZqlrcTest, HelpPrintsTheUsageAndExitsZero) {
  for (const char* args : {"--help", "-h", "fix x -h"}) {
    Result r = Run(args);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out.rfind("usage: zqlrc COMMAND", 0), 0u) << r.out;
  }
}

// GBK text, beyond GB2312: enough of it for the charset detector to tell.
Bytes Gbk() {
  return Raw(
      "[00:01]\x81@\xCE\xD2\x82\x83\xD4\xDA\x9F\xF4\xCF\xC2\xD5"
      "f\xD6\xF8\xCD\xF9\xCA\xC2\xA3\xAC\xD5l\xD2\xB2\x9B]\xD3\xD0\xD5"
      "f\xD4\xD9\xD2\x8A");
}

std::u16string Repeat16(const std::u16string& piece, size_t times) {
  std::u16string text;
  for (size_t k = 0; k < times; ++k) text += piece;
  return text;
}

// Lines of text of their own, one a second: "[00:01.00]1".
std::u16string Numbered(int count) {
  std::u16string text;
  for (int k = 1; k <= count; ++k) {
    char line[32];
    snprintf(line, sizeof line, "[%02d:%02d.00]%d\n", k / 60, k % 60, k);
    for (const char* c = line; *c != '\0'; ++c) text += (char16_t)*c;
  }
  return text;
}

std::u16string ManyLines(int count) {
  std::u16string text;
  for (int k = 0; k < count; ++k) text += u"[00:01]x\n";
  return text;
}

TEST_F(ZqlrcTest, CheckShowsThePhonesMessageAndFailsUnlessEveryFileShowsAsWritten) {
  struct Case {
    const char* name;
    Bytes file;
    int exit_code;
    std::string expected;  // a piece of the report
  };
  const Case cases[] = {
      {"good", Utf8(u"[00:01]a", true), 0, "phone shows: the lyrics\n"},
      {"gb2312", Gb2312(u"[00:01]床\r\n"), 0, "phone shows: the lyrics\n"},
      {"key", Raw("[key:1]"), 1, "lrc文件被加密"},
      {"bad", Raw("[00:01]a\n\n[7]b"), 1, "line 3: time tag [7] has no ':'"},
      {"nobom", Utf8(u"[00:01]a\n[00:02]床", false), 1,
       "line 2: the phone reads the file as GB2312 and will show garbage: the text is UTF-8 without its byte-order "
       "mark (zqlrc fix mends this)"},
      {"gbk", Gbk(), 1, "U+4E02 \"丂\" is not GB2312 (GB18030) (zqlrc fix mends this)"},
      {"guess", Raw("[00:01]\x81\x40"), 1, "its encoding is not clear (likely "},
      {"control", Raw("\xEF\xBB\xBF[00:01]a\n[00:02]a[00:03]\x01 c[00:04]d"), 1,
       "line 2: 2 time tags inside the text, as at \"[00:03]\\x01 c[00:04]d\": the phone shows such tags as text; fix "
       "cannot tell syllable timing from a lost line break here\n"},
      {"words", Utf8(u"\n[00:01]<00:01.00>a<00:01.50>b", true), 1,
       "line 2: 2 word-timing tags (<mm:ss.xx> inside a line) in the file show as text (zqlrc fix mends this)"},
      {"empty", Bytes{}, 1, "lrc文件错误"},
      {"tags", Raw("[ti:x]"), 1, "the tags only"},
      {"toomany", Utf8(ManyLines(103), true), 1,
       "the phone keeps 100 of 103 lines and 100 of 103 time tags, up to 00:01.00: lines 101-103 (from 00:01.00) are "
       "past the phone's 100"},
      {"earlier", Raw("[offset:500]\n[00:01]a"), 0, "offset:      +500: lines 0.5 s earlier\n"},
      {"later", Raw("[offset:-1250]\n[00:01]a"), 0, "offset:      -1250: lines 1.25 s later\n"},
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

struct FixCase {
  const char* name;
  Bytes file;
  std::string from, to;  // options
  int exit_code;
  std::string says;  // a piece of the report line
  Bytes written;     // the file in the output folder; empty: none
};

void PrintTo(const FixCase& c, std::ostream* os) {
  *os << c.name;
}

class ZqlrcFixTest : public ZqlrcTest, public ::testing::WithParamInterface<FixCase> {};

TEST_P(ZqlrcFixTest, WritesWhatThePhoneReadsAsWrittenOrNothing) {
  const FixCase& c = GetParam();
  std::string path = Write("song.lrc", c.file);
  std::string out = (dir_ / "out").string(), written = out + "/song.lrc";
  std::string options = (c.from.empty() ? "" : " --from " + c.from) + (c.to.empty() ? "" : " --to " + c.to);
  Result r = Run("fix " + path + " --out " + out + options);
  EXPECT_EQ(r.exit_code, c.exit_code);
  EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
  EXPECT_EQ(Read(written), c.written);
  EXPECT_EQ(Read(path), c.file);
  if (c.written.empty()) return;
  // What fix wrote, fix leaves as it is, and check finds nothing in it that fix mends.
  Result again = Run("fix " + written + (c.to.empty() ? "" : " --to " + c.to));
  EXPECT_EQ(again.exit_code, 0);
  EXPECT_NE(again.out.find(": unchanged: "), std::string::npos) << again.out;
  EXPECT_EQ(Run("check " + written).out.find("fix mends"), std::string::npos);
}

std::string Repeat(const std::string& piece, size_t times) {
  std::string text;
  for (size_t k = 0; k < times; ++k) text += piece;
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ZqlrcFixTest,
    ::testing::Values(
        FixCase{"Utf8WithoutMarkGetsItsMark", Utf8(u"[ti:静夜思]\n[00:01.00]床前\n", false), "", "", 0,
                "fixed: UTF-8 without mark to UTF-8 with mark -> ", Utf8(u"[ti:静夜思]\n[00:01.00]床前\n", true)},
        FixCase{"GbkIsReadAsGb18030", Gbk(), "", "", 0, "fixed: GB18030 to UTF-8 with mark",
                Utf8(u"[00:01]丂我們在燈下說著往事，誰也沒有說再見", true)},
        FixCase{"Gb2312WithCrLfIsCopiedAsItIs", Gb2312(u"[ti:静]\r\n[00:01]床\r\n"), "", "", 0,
                "unchanged: GB2312, which the phone reads as written; copied to", Gb2312(u"[ti:静]\r\n[00:01]床\r\n")},
        FixCase{"Utf16BeWithMarkIsCopiedAsItIs", Utf16Be(u"[00:01]床\r\n", true), "", "", 0,
                "unchanged: UTF-16BE with mark", Utf16Be(u"[00:01]床\r\n", true)},
        FixCase{"ToAsksForAnotherEncoding", Utf16Le(u"[00:01]床", true), "", "utf8", 0,
                "fixed: UTF-16LE with mark to UTF-8 with mark", Utf8(u"[00:01]床", true)},
        FixCase{"ToGb2312", Utf8(u"[00:01]床\n", true), "", "gb2312", 0, "fixed: UTF-8 with mark to GB2312",
                Gb2312(u"[00:01]床\n")},
        FixCase{"Utf8WithoutMarkToGb2312", Utf8(u"[00:01]床\n", false), "", "gb2312", 0,
                "fixed: UTF-8 without mark to GB2312 -> ", Gb2312(u"[00:01]床\n")},
        FixCase{"WordTimingTagsGoTheWordsStay",
                Utf8(u"[ar:<0:1>]\r\n[00:01.00]<00:01.00>床<00:01.50>前 <1:2>a<b>\r\n", true), "", "", 0,
                "fixed: removed 3 word-timing tags -> ", Utf8(u"[ar:<0:1>]\r\n[00:01.00]床前 a<b>\r\n", true)},
        FixCase{"CharactersBeyondSixteenBitsAreDroppedWithTheirLine",
                Raw("\xEF\xBB\xBF[00:01]a\n[00:02]b\xF0\x9F\x98\x80\n"), "", "", 0,
                "fixed: dropped 1 character beyond 16 bits (line 2) -> ", Raw("\xEF\xBB\xBF[00:01]a\n[00:02]b\n")},
        FixCase{"FromOverridesTheRules", Utf16Le(u"[00:01]床", false), "utf16le", "", 0,
                "fixed: utf16le to UTF-8 with mark", Utf8(u"[00:01]床", true)},
        // Refusals: nothing is written.
        FixCase{"Gb2312NamesTheCharacterItCannotHold",
                Utf8(u"[00:01]a\n[00:02]丂", true),
                "",
                "gb2312",
                1,
                "refused: line 2: U+4E02 \"丂\" has no GB2312 form; nothing written",
                {}},
        FixCase{"Utf16WithoutMarkIsNotReadByTheRules",
                Utf16Le(u"[00:01]a\n", false),
                "",
                "",
                1,
                "refused: line 1 reads as neither UTF-8 nor GB18030",
                {}},
        FixCase{"TooLittleToTellTheEncoding",
                Raw("[00:01]a\r\n[00:02]\xff\r\n"),
                "",
                "",
                1,
                "refused: no mark, not UTF-8 nor GB2312, and the encoding is not clear: likely ",
                {}},
        FixCase{"BadUtf8AfterItsMark",
                Raw("\xEF\xBB\xBF[00:01]a\n\xC0\x80\n"),
                "",
                "",
                1,
                "refused: line 2 does not read as UTF-8 with mark",
                {}},
        FixCase{"Encrypted", Raw("[key:1]\n[00:01]a\n"), "", "", 1, "refused: an encrypted lyrics file", {}},
        // The phone reads [10:00.00 (GB2312 drops the NULs and the 0x08); as UTF-16LE the tag has no colon.
        FixCase{"FromThatWouldBreakTheTimeTagsOfAFileThatLoads",
                Raw(std::string("[\0001\0000\x08:\0000\0000\0.\0000\0000\0\n\0", 20)),
                "utf16le",
                "",
                1,
                "refused: the phone loads the file as it is but would not load the new text (status 2,",
                {}},
        FixCase{"MoreThanAHundredLinesOfOneTextBecomeOneLine", Utf8(ManyLines(101), false), "", "", 0,
                "gave lines of identical text one line (line 2)",
                Utf8(u"[00:01]" + Repeat16(u"[00:01]", 100) + u"x\n", true)},
        FixCase{"WhatDoesNotFitIsNamed", Utf8(Numbered(101), false), "", "", 0,
                "unchanged: ASCII, which the phone reads as written as far as its limits allow; line 101 (from "
                "01:41.00) is past the phone's 100; copied to",
                Utf8(Numbered(101), false)},
        FixCase{"LongerThanThePhoneReadsOnceConverted",
                Raw("[00:01]" + Repeat("\x81\x40", 22000)),
                "",
                "",
                1,
                "refused: 66010 bytes after conversion",
                {}},
        FixCase{"Empty", Bytes{}, "", "", 1, "refused: the file is empty", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ZqlrcTest, InPlaceReplacesWhatChangesAndKeepsItsPermissions) {
  std::string changed = Write("a.lrc", Utf8(u"[00:01]床", false));
  std::string kept = Write("b.lrc", Gb2312(u"[00:01]床"));
  ASSERT_EQ(chmod(changed.c_str(), 0640), 0);
  Result r = Run("fix --in-place " + changed + " " + kept);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, changed + ": fixed in place: UTF-8 without mark to UTF-8 with mark\n" + kept +
                       ": unchanged: GB2312, which the phone reads as written\n"
                       "2 files: 1 fixed, 1 already right, 0 with problems fix cannot mend, 0 refused, 0 not read or "
                       "not written\n");
  EXPECT_EQ(Read(changed), Utf8(u"[00:01]床", true));
  EXPECT_EQ(Read(kept), Gb2312(u"[00:01]床"));
  struct stat st;
  ASSERT_EQ(stat(changed.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(FilesInFolder(), 2u);
  // Without --out or --in-place nothing is written.
  Bytes before = Read(kept);
  EXPECT_EQ(Run("fix --to utf8 " + kept).out, kept + ": would fix: GB2312 to UTF-8 with mark\n");
  EXPECT_EQ(Read(kept), before);
}

TEST_F(ZqlrcTest, AWriteThatFailsHalfWayLeavesEveryFileAsItWas) {
  // 1500 characters of three bytes each: far past a file size limit of 1 KiB.
  Bytes original = Utf8(u"[00:01]" + std::u16string(1500, u'床'), false);
  std::string path = Write("song.lrc", original);
  std::string other = Write("out/song.lrc", Raw("other"));
  for (const std::string& args :
       {"--in-place " + path, path + " --out " + dir_.string() + "/new", path + " --out " + dir_.string() + "/out"}) {
    SCOPED_TRACE(args);
    Result r = Run("fix " + args, "ulimit -f 2; ");
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_NE(r.out.find(": not written: "), std::string::npos) << r.out;
  }
  EXPECT_EQ(Read(path), original);
  EXPECT_EQ(Read(other), Raw("other"));
  // No temporary file stays behind: the song, out/ with its file, and new/.
  EXPECT_EQ(FilesInFolder(), 3u);
  EXPECT_EQ(std::filesystem::directory_iterator(dir_ / "new"), std::filesystem::directory_iterator());
}

TEST_F(ZqlrcTest, ScanGivesEveryListedTrackTheVerdictOfItsLyricsFile) {
  for (const char* track : {"a.mp3", "B.m4a", "c.MP3", "d.mp3", "e.wav"}) Write(track, Bytes{});
  Write("a.lrc", Utf8(u"[00:01]床", false));  // to be fixed
  Write("lrc/B.txt", Gb2312(u"[00:01]床"));   // the lrc/ folder before the tracks' own
  Write("B.txt", Raw("[key:1]"));
  Write("c.txt", Raw("[7]"));  // "lrc" before "txt", names without regard to case
  Write("c.LRC", Utf16Le(u"[00:01]a\n[00:02]b", true));
  Result r = Run("scan " + dir_.string());
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out,
            "B.m4a: lrc/B.txt: lyrics: 1 line, 1 time entry\n"
            "a.mp3: a.lrc: lyrics, not as written: line 1: the phone reads the file as GB2312 and will show garbage: "
            "the text is UTF-8 without its byte-order mark; zqlrc fix mends it: UTF-8 without mark to UTF-8 with mark\n"
            "c.MP3: c.LRC: lyrics: 2 lines, 2 time entries\n"
            "d.mp3: no lyrics file: the phone shows \"lrc文件不存在\"\n"
            "4 tracks: 2 with lyrics as written, 1 that zqlrc fix mends, 1 without a lyrics file, 0 with other "
            "problems\n");
  // Fixed into a folder of their own, with the missing one added, every track shows its lyrics.
  std::string fixed = (dir_ / "phone").string();
  std::string d = dir_.string() + "/";
  EXPECT_EQ(Run("fix " + d + "a.lrc " + d + "lrc/B.txt " + d + "c.LRC --out " + fixed).exit_code, 0);
  Write("phone/D.Lrc", Raw("[00:01]d"));
  r = Run("scan " + dir_.string() + " --lrc " + fixed);
  EXPECT_EQ(r.exit_code, 0) << r.out;
  EXPECT_NE(r.out.find("4 tracks: 4 with lyrics as written"), std::string::npos) << r.out;
}

// Real lyrics files and files of every kind written for the test (wild/README.md
// names each and its source): check's report and the bytes fix writes are
// pinned in wild/expected (no file there: fix writes nothing new). check and
// fix agree: check passes exactly the files fix calls read as written, what
// check says fix mends fix writes, and check on what fix wrote finds nothing
// fix mends, and nothing at all unless fix named what stays.
struct WildCase {
  const char* name;  // of the expected files
  const char* file;
  const char* options;
  int fix_exit;
};

void PrintTo(const WildCase& c, std::ostream* os) {
  *os << c.name;
}

class ZqlrcWildTest : public ZqlrcTest, public ::testing::WithParamInterface<WildCase> {};

TEST_P(ZqlrcWildTest, CheckAndFixAgreeOnRealFiles) {
  const WildCase& c = GetParam();
  std::string source = std::string(ZQ_WILD_DIR) + "/" + c.file;
  std::string expected = std::string(ZQ_WILD_DIR) + "/expected/" + c.name;
  Result check = Run("check " + source);
  Bytes report = Read(expected + ".check");
  EXPECT_EQ(check.out.substr(check.out.find('\n') + 1), std::string(report.begin(), report.end()));

  std::string out = (dir_ / "out").string(), written = out + "/" + c.file;
  Result fix = Run("fix " + source + " --out " + out + " " + c.options);
  EXPECT_EQ(fix.exit_code, c.fix_exit) << fix.out;
  bool copied = fix.out.find(": unchanged: ") != std::string::npos;
  EXPECT_EQ(copied ? Bytes() : Read(written), Read(expected)) << fix.out;
  EXPECT_EQ(check.exit_code == 0, fix.out.find(", which the phone reads as written;") != std::string::npos) << fix.out;
  if (check.out.find("(zqlrc fix mends this)") != std::string::npos && *c.options == '\0') {
    EXPECT_NE(fix.out.find(": fixed: "), std::string::npos) << fix.out;
  }
  if (fix.out.find(": fixed: ") == std::string::npos) return;
  Result again = Run("check " + written);
  EXPECT_EQ(again.out.find("fix mends"), std::string::npos) << again.out;
  bool named = fix.out.find("not mended") != std::string::npos || fix.out.find("past the phone's") != std::string::npos;
  if (!named) {
    EXPECT_EQ(again.exit_code, 0) << again.out;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ZqlrcWildTest,
    ::testing::Values(WildCase{"agora_cjhd625070.lrc", "agora_cjhd625070.lrc", "", 0},
                      WildCase{"agora_enhanced.lrc", "agora_enhanced.lrc", "", 0},
                      WildCase{"agora_enhanced2.lrc", "agora_enhanced2.lrc", "", 0},
                      WildCase{"agora_kj5396.lrc", "agora_kj5396.lrc", "", 0},
                      WildCase{"agora_lrc_crlf.lrc", "agora_lrc_crlf.lrc", "", 0},
                      WildCase{"agora_shinian_one_line.lrc", "agora_shinian_one_line.lrc", "", 0},
                      WildCase{"lrckit_main.lrc", "lrckit_main.lrc", "", 0},
                      WildCase{"utf16le_mark_agora_lrc.lrc", "utf16le_mark_agora_lrc.lrc", "", 0},
                      WildCase{"gb2312_agora_cjhd625070.lrc", "gb2312_agora_cjhd625070.lrc", "", 0},
                      WildCase{"gb2312_malformed_tags.lrc", "gb2312_malformed_tags.lrc", "", 0},
                      WildCase{"gb2312_bilingual_long.lrc", "gb2312_bilingual_long.lrc", "", 0},
                      WildCase{"gb2312_bilingual_long_joined.lrc", "gb2312_bilingual_long.lrc", "--join-same-time", 0},
                      WildCase{"gbk_traditional_night_rain.lrc", "gbk_traditional_night_rain.lrc", "", 0},
                      WildCase{"big5_night_rain.lrc", "big5_night_rain.lrc", "", 0},
                      WildCase{"shiftjis_spring_road.lrc", "shiftjis_spring_road.lrc", "", 0},
                      WildCase{"euckr_sea.lrc", "euckr_sea.lrc", "", 1},
                      WildCase{"latin1_swedish_summer.lrc", "latin1_swedish_summer.lrc", "", 0},
                      WildCase{"utf8_syllable_tags.lrc", "utf8_syllable_tags.lrc", "", 0},
                      WildCase{"utf8_lost_breaks.lrc", "utf8_lost_breaks.lrc", "", 1},
                      WildCase{"ascii_no_colon.lrc", "ascii_no_colon.lrc", "", 1}),
    [](const auto& info) { return std::string(info.param.name).substr(0, std::string(info.param.name).find('.')); });

}  // namespace
}  // namespace lyrics_test
