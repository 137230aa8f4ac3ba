// SPDX-License-Identifier: MIT
// The LRC parser: what it makes of well-formed, odd and malformed files, in
// every encoding, cut off anywhere, and with any one allocation failing.
#include "lyrics/parser.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/player_state.h"
#include "lyrics_fixture.h"

namespace lyrics_test {
namespace {

struct Outcome {
  uint8_t status = 0xEE;
  std::optional<Record> record;
};

// Parses an exact-size copy of the bytes and checks the record's own
// promises before turning it into plain values and freeing it.
Outcome Parse(const Bytes& bytes) {
  std::vector<uint8_t> exact(bytes);
  Outcome outcome;
  LRC* lrc = GetLRCFromBuf(exact.empty() ? nullptr : exact.data(), (uint16_t)exact.size(), &outcome.status);
  if (lrc == nullptr) return outcome;
  EXPECT_EQ(outcome.status, kLrcLoaded);
  for (uint32_t k = 0; k < lrc->time_count; ++k) {
    EXPECT_LT(lrc->times[k].line, lrc->line_count) << "time entry " << k;
    if (k > 0) {
      EXPECT_LE(lrc->times[k - 1].time, lrc->times[k].time) << "time entry " << k;
    }
  }
  for (uint32_t k = 0; k < lrc->line_count; ++k) {
    EXPECT_NE(lrc->lines[k].text, nullptr);
    if (lrc->lines[k].text != nullptr) {
      EXPECT_EQ(lrc->lines[k].text[lrc->lines[k].len], 0);
    }
  }
  EXPECT_NE(lrc->times, nullptr);
  outcome.record = Snapshot(lrc);
  DESTROY_LRC(&lrc);
  return outcome;
}

Record Tags(std::u16string ti, std::u16string ar, std::u16string al, std::u16string by, int16_t offset) {
  Record r;
  r.ti = ti;
  r.ar = ar;
  r.al = al;
  r.by = by;
  r.offset = offset;
  return r;
}

Record Lyrics(std::vector<std::u16string> lines, std::vector<std::pair<uint32_t, uint16_t>> times) {
  Record r;
  r.lines = lines;
  r.times = times;
  return r;
}

const std::u16string kSixLines =
    u"[ti:Song]\r\n[ar:Singer]\r\n[offset:-200]\r\n[00:01.00]First\r\n[00:05.50][00:20.00]Chorus\r\n"
    u"[00:10.00]Second\r\n";

Record SixLinesRecord() {
  Record r = Lyrics({u"First", u"Chorus", u"Second"}, {{1000, 0}, {5500, 1}, {10000, 2}, {20000, 1}});
  r.ti = u"Song";
  r.ar = u"Singer";
  r.offset = -200;
  return r;
}

struct ParseCase {
  const char* name;
  std::u16string text;  // given to the parser as UTF-8 with its mark
  uint8_t status;
  Record record;  // when the status is 0
};

void PrintTo(const ParseCase& c, std::ostream* os) {
  *os << c.name;
}

class ParseTest : public LyricsTest, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(ParseTest, GivesTheRecordOrTheStatus) {
  const ParseCase& c = GetParam();
  Outcome got = Parse(Utf8(c.text, true));
  EXPECT_EQ(got.status, c.status);
  if (c.status == kLrcLoaded) {
    ASSERT_TRUE(got.record.has_value());
    EXPECT_EQ(*got.record, c.record);
  } else {
    EXPECT_FALSE(got.record.has_value());
  }
}

const Record kNone;

INSTANTIATE_TEST_SUITE_P(
    Basic, ParseTest,
    ::testing::Values(
        ParseCase{"SixLineExample", kSixLines, 0, SixLinesRecord()},
        ParseCase{"OneLine", u"[00:12.34]Hello", 0, Lyrics({u"Hello"}, {{12340, 0}})},
        ParseCase{"FractionDigits", u"[01:02.5]a\n[01:02]b\n[01:02.345]c", 0,
                  Lyrics({u"a", u"b", u"c"}, {{62000, 1}, {62345, 2}, {62500, 0}})},
        ParseCase{"TwoTagsOneLine", u"[00:01.00][00:05.00]Chorus", 0, Lyrics({u"Chorus"}, {{1000, 0}, {5000, 0}})},
        ParseCase{"TagsWithoutText", u"[00:01.00]\n[00:02.00]", 0, Lyrics({u"", u""}, {{1000, 0}, {2000, 1}})},
        ParseCase{"SpacesAroundTextKept", u"[00:01.00]  two words  \r\n", 0, Lyrics({u"  two words  "}, {{1000, 0}})},
        ParseCase{"ChineseText", u"[00:01.00]床前明月光\n[00:03.00]疑是地上霜", 0,
                  Lyrics({u"床前明月光", u"疑是地上霜"}, {{1000, 0}, {3000, 1}})},
        ParseCase{"BlankLinesAndSpacesBetweenLines", u"[00:01]a\r\n\r\n \n  [00:02]b", 0,
                  Lyrics({u"a", u"b"}, {{1000, 0}, {2000, 1}})},
        ParseCase{"SecondsPastFiftyNine", u"[00:75]x", 0, Lyrics({u"x"}, {{75000, 0}})},
        ParseCase{"EmptySeconds", u"[2:]x", 0, Lyrics({u"x"}, {{120000, 0}})},
        ParseCase{"OnlyIdTags", u"[ti:A]\n[ar:B]\n[al:C]\n[by:D]\n", 0, Tags(u"A", u"B", u"C", u"D", 0)},
        ParseCase{"EmptyText", u"", 0, kNone}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Odd, ParseTest,
    ::testing::Values(
        ParseCase{"FourthFractionDigitClosesTheTag", u"[00:01.5000]x", 0, Lyrics({u"]x"}, {{1500, 0}})},
        ParseCase{"SecondColonClosesTheTag", u"[00:01:50]x", 0, Lyrics({u"50]x"}, {{1000, 0}})},
        ParseCase{"LineEndClosesTheTag", u"[00:01\nnext", 0, Lyrics({u"next"}, {{1000, 0}})},
        ParseCase{"BracketWithoutDigitEndsTheRun", u"[00:01.00][ar:x]", 0, Lyrics({u"[ar:x]"}, {{1000, 0}})},
        ParseCase{"TagInsideTextStaysText", u"[00:01]a[00:02]b", 0, Lyrics({u"a[00:02]b"}, {{1000, 0}})},
        ParseCase{"UntaggedTextDropped", u"junk line\n[00:01]a\nmore junk [00:02]b", 0,
                  Lyrics({u"a", u"b"}, {{1000, 0}, {2000, 1}})},
        ParseCase{"RepeatedTitleKeepsTheLast", u"[ti:My Song]\n[ti:Other]", 0, Tags(u"Other", u"", u"", u"", 0)},
        ParseCase{"EmptyTitle", u"[ti:My Song]\n[ti:]", 0, Tags(u"", u"", u"", u"", 0)},
        ParseCase{"TagValueTakesAnything", u"[ti:a [b\nc]", 0, Tags(u"a [b\nc", u"", u"", u"", 0)},
        ParseCase{"RestOfATagLineSkipped", u"[by:x] trailing\n[00:01]a", 0,
                  [] {
                    Record r = Lyrics({u"a"}, {{1000, 0}});
                    r.by = std::u16string(u"x");
                    return r;
                  }()},
        ParseCase{"UnknownAndWrongCaseTagsSkipped", u"[re:x]\n[Ti:x]\n[00:01]a", 0, Lyrics({u"a"}, {{1000, 0}})},
        ParseCase{"LoneBracketsSkipped", u"[]\n[\n[", 0, kNone},
        ParseCase{"ShortKeyAtTheEnd", u"[00:01]a\n[ti", 0, Lyrics({u"a"}, {{1000, 0}})}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Offsets, ParseTest,
    ::testing::Values(ParseCase{"Positive", u"[offset:500]", 0, Tags(u"", u"", u"", u"", 500)},
                      ParseCase{"Negative", u"[offset:-500]", 0, Tags(u"", u"", u"", u"", -500)},
                      ParseCase{"PlusSignSkipped", u"[offset:+500]", 0, Tags(u"", u"", u"", u"", 500)},
                      ParseCase{"InnerSpaceSkipped", u"[offset: 1 2]", 0, Tags(u"", u"", u"", u"", 12)},
                      ParseCase{"MinusLaterIsNoSign", u"[offset: -5]", 0, Tags(u"", u"", u"", u"", 5)},
                      ParseCase{"WrapsAtSixteenBits", u"[offset:70000]", 0, Tags(u"", u"", u"", u"", 4464)},
                      ParseCase{"LargeValueReadsNegative", u"[offset:40000]", 0, Tags(u"", u"", u"", u"", -25536)},
                      ParseCase{"LaterTagReplaces", u"[offset:100]\n[offset:-7]", 0, Tags(u"", u"", u"", u"", -7)},
                      ParseCase{"EmptyValueIsZero", u"[offset:100]\n[offset:]", 0, Tags(u"", u"", u"", u"", 0)}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Malformed, ParseTest,
    ::testing::Values(ParseCase{"MinutesWithoutColonAfterGoodLines", u"[00:01]a\n[00:02]b\n[12]c", 2, kNone},
                      ParseCase{"MinutesWithoutColonAfterGoodCrLfLines", u"[00:01]a\r\n[00:02]b\r\n[12]c", 2, kNone},
                      ParseCase{"FractionalMinutes", u"[1.5]a", 2, kNone},
                      ParseCase{"KeyTagFirst", u"[key:1234]\n[00:01]a", 5, kNone},
                      ParseCase{"KeyTagLast", u"[00:01]a\n[key:", 5, kNone},
                      ParseCase{"KeyAfterBadTagNeverReached", u"[12]\n[key:1]", 2, kNone}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    CutOff, ParseTest,
    ::testing::Values(
        ParseCase{"TimeTagCutAfterColon", u"[00:", 0, Lyrics({u""}, {{0, 0}})},
        ParseCase{"TimeTagCutInFraction", u"[00:01.2", 0, Lyrics({u""}, {{1200, 0}})},
        ParseCase{"TimeTagCutBeforeColon", u"[00", 2, kNone}, ParseCase{"TitleWithoutClose", u"[ti:abc", 0, kNone},
        ParseCase{"SecondTitleWithoutCloseKeepsTheFirst", u"[ti:A]\n[ti:B", 0, Tags(u"A", u"", u"", u"", 0)},
        ParseCase{"OffsetWithoutCloseKeepsTheLast", u"[offset:-200]\n[offset:5", 0, Tags(u"", u"", u"", u"", -200)},
        ParseCase{"UnclosedTagEndsTheWalk", u"[ar:x\n[00:01.00 a\n", 0, kNone},
        ParseCase{"TagValueRunsToTheNextClose", u"[ar:x\n[00:01]a", 0, Tags(u"", u"x\n[00:01", u"", u"", 0)}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    TimeArithmetic, ParseTest,
    ::testing::Values(ParseCase{"MinutesWrapAt32Bits", u"[71583:00]x", 0, Lyrics({u"x"}, {{12704, 0}})},
                      ParseCase{"HugeMinutesWrap", u"[4294967296:01]x", 0, Lyrics({u"x"}, {{1000, 0}})},
                      ParseCase{"LargestTimeSortsLast", u"[71582:47.295]x\n[00:01]y", 0,
                                Lyrics({u"x", u"y"}, {{1000, 1}, {4294967295u, 0}})}),
    [](const auto& info) { return std::string(info.param.name); });

// A file made of `count` lines, each with the given number of time tags.
std::u16string Lines(int count, int tags_per_line, const std::u16string& line_end) {
  std::u16string text;
  for (int k = 0; k < count; ++k) {
    for (int t = 0; t < tags_per_line; ++t) text += u"[00:01]";
    text += u"x" + line_end;
  }
  return text;
}

// Lines that end in a line feed alone and lines that end in a carriage
// return and a line feed (the walk reads those one after another directly).
const std::u16string kLineEnds[] = {u"\n", u"\r\n"};

TEST_F(LyricsTest, LinesPastTheHundredthEndTheWalk) {
  for (const std::u16string& line_end : kLineEnds) {
    Outcome got = Parse(Utf8(Lines(101, 1, line_end) + u"[ti:late]", true));
    ASSERT_EQ(got.status, kLrcLoaded);
    EXPECT_EQ(got.record->lines.size(), 100u);
    EXPECT_EQ(got.record->times.size(), 100u);
    EXPECT_EQ(got.record->ti, u"");
  }
}

TEST_F(LyricsTest, TimeEntriesPastTheTwoHundredthEndTheWalkAtTheNextRun) {
  // 66 lines of three tags: 198 entries; the next line's three tags go up to
  // 201, the last one read but not kept; the line after is never reached.
  for (const std::u16string& line_end : kLineEnds) {
    Outcome got = Parse(Utf8(Lines(67, 3, line_end) + u"[12]bad", true));
    ASSERT_EQ(got.status, kLrcLoaded);
    EXPECT_EQ(got.record->lines.size(), 67u);
    EXPECT_EQ(got.record->times.size(), 200u);
  }
}

TEST_F(LyricsTest, TagsPastTheTwoHundredthInOneRunAreStillRead) {
  std::u16string run;
  for (int k = 0; k < 201; ++k) run += u"[00:01]";
  Outcome good = Parse(Utf8(run + u"x", true));
  ASSERT_EQ(good.status, kLrcLoaded);
  EXPECT_EQ(good.record->times.size(), 200u);
  EXPECT_EQ(good.record->lines, std::vector<std::u16string>{u"x"});
  EXPECT_EQ(Parse(Utf8(run + u"[12]x", true)).status, kLrcErrFile);
}

TEST_F(LyricsTest, EveryEncodingWithItsMarkGivesTheSameRecord) {
  const std::u16string text = kSixLines + u"[00:30.00]静夜思 床前明月光\r\n";
  Record want = SixLinesRecord();
  want.lines.push_back(u"静夜思 床前明月光");
  want.times.push_back({30000, 3});
  const std::pair<const char*, Bytes> files[] = {{"utf8", Utf8(text, true)},
                                                 {"utf16le", Utf16Le(text, true)},
                                                 {"utf16be", Utf16Be(text, true)},
                                                 {"gb2312", Gb2312(text)}};
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    Outcome got = Parse(bytes);
    ASSERT_EQ(got.status, kLrcLoaded);
    EXPECT_EQ(*got.record, want);
  }
}

TEST_F(LyricsTest, PlainTextWithoutAMarkIsReadAsGb2312) {
  // ASCII reads the same either way; UTF-8 Chinese without its mark does not.
  EXPECT_EQ(*Parse(Utf8(kSixLines, false)).record, SixLinesRecord());
  Outcome chinese = Parse(Utf8(u"[00:01]床", false));
  ASSERT_EQ(chinese.status, kLrcLoaded);
  EXPECT_NE(chinese.record->lines.at(0), u"床");
  // UTF-16 without a mark: the zero bytes of ASCII are dropped as controls.
  EXPECT_EQ(*Parse(Utf16Le(kSixLines, false)).record, SixLinesRecord());
}

TEST_F(LyricsTest, StatusesDecidedBeforeTheWalk) {
  struct Case {
    const char* name;
    Bytes bytes;
    uint8_t status;
  };
  const Case cases[] = {
      {"NoBytes", {}, kLrcErrNoText},
      {"TwoZeroBytes", {0x00, 0x00, 0x5B}, kLrcErrNoText},
      {"TooLongForSixteenBitPositions", Bytes(65535, 0x41), kLrcErrFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Parse(c.bytes).status, c.status);
  }
  EXPECT_EQ(Parse(Bytes(65534, 0x41)).status, kLrcLoaded);
}

#ifndef PATCH
TEST_F(LyricsTest, Gb2312FileWithoutTheTableIsAFileError) {
  Folder().Remove("ELF/gb2uc.map");
  EXPECT_EQ(Parse(Raw("[00:01]a")).status, kLrcErrFile);
  EXPECT_EQ(Parse(Utf8(u"[00:01]a", true)).status, kLrcLoaded);
}
#endif

TEST_F(LyricsTest, InputCutAtEveryLengthParsesOrFailsCleanly) {
  const std::u16string text = kSixLines + u"[00:30.00]静夜思\r\n[offset:12][ti:x]";
  const std::pair<const char*, Bytes> files[] = {{"utf8", Utf8(text, true)},
                                                 {"utf16le", Utf16Le(text, true)},
                                                 {"utf16be", Utf16Be(text, true)},
                                                 {"gb2312", Gb2312(text)}};
  for (const auto& [name, bytes] : files) {
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
      SCOPED_TRACE(std::string(name) + " cut at " + std::to_string(cut));
      uint32_t before = LiveBlocks();
      Outcome got = Parse(Bytes(bytes.begin(), bytes.begin() + (long)cut));
      EXPECT_TRUE(got.status == kLrcLoaded || got.status == kLrcErrFile || got.status == kLrcErrNoText)
          << (int)got.status;
      EXPECT_EQ(LiveBlocks(), before);
    }
  }
}

TEST_F(LyricsTest, EveryFailedAllocationGivesAMemoryErrorAndLeavesNothing) {
  const std::u16string text = kSixLines + u"[ti:again]\n[00:30.00]床前\r\n[00:31.00]\n";
  const std::pair<const char*, Bytes> files[] = {{"utf8", Utf8(text, true)}, {"gb2312", Gb2312(text)}};
  for (const auto& [name, bytes] : files) {
    uint32_t before = sim::GetMemoryStats().allocations;
    Outcome whole = Parse(bytes);
    ASSERT_EQ(whole.status, kLrcLoaded);
    uint32_t needed = sim::GetMemoryStats().allocations - before;
    // Buffer, record and four strings, three tags, times, lines and five texts.
    EXPECT_GE(needed, 15u);
    for (uint32_t nth = 1; nth <= needed; ++nth) {
      SCOPED_TRACE(std::string(name) + " allocation " + std::to_string(nth));
      uint32_t blocks = LiveBlocks();
      sim::FailAllocation(nth);
      Outcome got = Parse(bytes);
      sim::FailAllocation(0);
#ifndef PATCH
      // The table's block fails as a missing table does: a file error.
      if (std::string(name) == "gb2312" && nth == 2) {
        EXPECT_EQ(got.status, kLrcErrFile);
        continue;
      }
#endif
      EXPECT_EQ(got.status, kLrcErrMemory);
      EXPECT_FALSE(got.record.has_value());
      EXPECT_EQ(LiveBlocks(), blocks);
    }
  }
}

}  // namespace
}  // namespace lyrics_test
