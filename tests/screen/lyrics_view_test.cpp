// SPDX-License-Identifier: MIT
// The lyrics area: which line is current for a position, how lines wrap,
// the end marker, the status messages and when nothing is drawn at all.
#include "screen/lyrics_view.h"

#include <ostream>
#include <string>

#include "screen/canvas.h"
#include "tests/screen/screen_fixture.h"

namespace screen_test {
namespace {

using sim::CanvasOp;

const CanvasColor kBlack = {0, 0, 0, 0};
const CanvasColor kGrey = {0x80, 0x80, 0x80, 0};
const std::u16string kOver = u"    ==OVER==    ";
constexpr uint16_t kNoLine = screen::kNoLineOnScreen;
// A line on screen that no choice can equal, so that the chosen line is
// always drawn.
constexpr uint16_t kOtherLine = 0xFFFE;

class LyricsView : public ScreenTest {
 protected:
  void DrawFresh(uint32_t position, uint16_t on_screen = kOtherLine) {
    player.timePosition = position;
    player.pos_lrc = on_screen;
    ClearLog();
    draw_lrc();
  }
};

struct IndexCase {
  const char* name;
  std::vector<uint32_t> times;
  int16_t offset;
  uint32_t position;
  uint16_t expected;
  uint16_t on_screen = kOtherLine;  // kNoLine: the tags or a message
};

class LyricsIndex : public LyricsView, public ::testing::WithParamInterface<IndexCase> {};

TEST_P(LyricsIndex, ChoosesTheLastEntryWhoseTimeHasBeenReached) {
  const IndexCase& k = GetParam();
  LrcBuilder b;
  b.Offset(k.offset);
  for (size_t i = 0; i < k.times.size(); ++i) b.Entry(k.times[i], u"line" + std::u16string(1, u'0' + (char16_t)i));
  player.lrc = b.Build();
  DrawFresh(k.position, k.on_screen);
  EXPECT_EQ(player.pos_lrc, k.expected) << k.name;
  if (k.expected == kNoLine) {
    EXPECT_EQ(sim::CanvasLogSize(), 0u) << k.name;
  } else {
    // The chosen entry's text is the black row at the top.
    EXPECT_EQ(RowText(100), u"line" + std::u16string(1, u'0' + (char16_t)k.expected)) << k.name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Positions, LyricsIndex,
    ::testing::Values(IndexCase{"ten seconds at position ten", {1000, 10000, 20000}, 0, 10, 1},
                      IndexCase{"ten seconds not yet at position nine", {1000, 10000, 20000}, 0, 9, 0},
                      IndexCase{"ten point six at position eleven", {1000, 10600, 20000}, 0, 11, 1},
                      IndexCase{"ten point six not yet at position ten", {1000, 10600, 20000}, 0, 10, 0},
                      IndexCase{"nine point five at position nine counts equal", {1000, 9500, 20000}, 0, 9, 1},
                      IndexCase{"negative offset makes lines later", {1000, 10000, 20000}, -2000, 11, 0},
                      IndexCase{"negative offset reaches the line at twelve", {1000, 10000, 20000}, -2000, 12, 1},
                      IndexCase{"positive offset makes lines earlier", {1000, 10000, 20000}, 1000, 9, 1},
                      IndexCase{"before the first entry with a line on screen", {5000, 10000}, 0, 1, 0},
                      IndexCase{"tags stay before the first entry", {5000, 10000}, 0, 4, kNoLine, kNoLine},
                      IndexCase{"first entry at its time after the tags", {3000, 8000}, 0, 3, 0, kNoLine},
                      IndexCase{"later entry after the tags", {1000, 10000, 20000}, 0, 12, 1, kNoLine},
                      IndexCase{"offset moves the end of the tags", {3000, 8000}, -1000, 3, kNoLine, kNoLine},
                      IndexCase{"record without entries keeps its tags", {}, 0, 7, kNoLine, kNoLine},
                      IndexCase{"negative sum counts as zero", {0, 5000}, -2000, 0, 0},
                      IndexCase{"equal times choose the later", {1000, 5000, 5000, 9000}, 0, 6, 2},
                      IndexCase{"last entry has no upper bound", {1000, 5000}, 0, 4000000, 1},
                      IndexCase{"position beyond 32 bits of milliseconds", {1000, 5000}, 0, 4294967, 1}),
    CaseName());

TEST_F(LyricsView, MakesNoCanvasCallWhileTheLineDoesNotChange) {
  LrcBuilder b;
  b.Entry(1000, u"a").Entry(10000, u"b").Entry(20000, u"c");
  player.lrc = b.Build();
  DrawFresh(12);
  ASSERT_GT(sim::CanvasLogSize(), 0u);
  for (uint32_t position : {13u, 14u, 19u}) {
    ClearLog();
    player.timePosition = position;
    draw_lrc();
    EXPECT_EQ(sim::CanvasLogSize(), 0u) << "position " << position;
  }
  player.timePosition = 20;
  draw_lrc();
  EXPECT_EQ(player.pos_lrc, 2);
  EXPECT_GT(sim::CanvasLogSize(), 0u);
}

TEST_F(LyricsView, SeekingBackRepaintsWithTheEarlierLine) {
  LrcBuilder b;
  b.Entry(1000, u"a").Entry(10000, u"b").Entry(20000, u"c");
  player.lrc = b.Build();
  player.timePosition = 25;
  draw_lrc();
  ASSERT_EQ(player.pos_lrc, 2);
  ClearLog();
  player.timePosition = 3;
  draw_lrc();
  EXPECT_EQ(player.pos_lrc, 0);
  EXPECT_EQ(RowText(100), u"a");
  EXPECT_EQ(RowText(120), u"b");
}

TEST_F(LyricsView, PaintsTheAreaThenTheCurrentLineInBlackAndTheNextInGrey) {
  LrcBuilder b;
  b.Entry(1000, u"ab").Entry(10000, u"春c");
  player.lrc = b.Build();
  DrawFresh(2);
  auto calls = Calls();
  ASSERT_FALSE(calls.empty());
#ifdef BLUE
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0].op, CanvasOp::kSetFillColor);
  EXPECT_TRUE(SameColor(calls[0].color, {0x4A, 0xB9, 0xED, 0}));
  EXPECT_EQ(calls[1].op, CanvasOp::kFillRect);
  ExpectCorners(calls[1], 0, 100, 176, 199);
#else
  // One colour and one line per column, 0 to the display's last column.
  auto lines = CallsOf(CanvasOp::kDrawLine);
  ASSERT_EQ(lines.size(), 176u);
  EXPECT_EQ(lines.front().x1, 0);
  EXPECT_EQ(lines.back().x1, 175);
  EXPECT_EQ(lines.front().y1, 100);
  EXPECT_EQ(lines.front().y2, 199);
#endif
  // Every unit is measured and drawn on its own.
  ExpectTexts(Texts(),
              {{u"a", 5, 100, kBlack}, {u"b", 13, 100, kBlack}, {u"春", 5, 120, kGrey}, {u"c", 21, 120, kGrey}});
  EXPECT_EQ(CallsOf(CanvasOp::kGetStringSize).size(), 4u);
}

struct WrapCase {
  const char* name;
  std::u16string current;
  std::u16string next;
  // The rows used, with the units drawn on each: current line, then next.
  std::vector<std::pair<int, size_t>> rows;
};

class LyricsWrap : public LyricsView, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(LyricsWrap, BreaksAt166AndStopsAfterRow180) {
  const WrapCase& k = GetParam();
  LrcBuilder b;
  b.Entry(0, k.current).Entry(60000, k.next);
  player.lrc = b.Build();
  DrawFresh(1);
  std::vector<std::pair<int, size_t>> rows;
  for (const auto& t : Texts()) {
    if (rows.empty() || rows.back().first != t.y) rows.push_back({t.y, 0});
    ++rows.back().second;
  }
  EXPECT_EQ(rows, k.rows) << k.name;
  // A row never reaches column 5 + 166.
  for (const auto& t : Texts()) EXPECT_LT(t.x - 5 + (t.text == u"春" ? 16 : 8), 166) << k.name;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LyricsWrap,
    ::testing::Values(
        // 25 narrow units: 20 fit (x + 8 < 166 up to x = 152), the 21st goes to row 120.
        WrapCase{"a line of 200 pixels", std::u16string(25, u'a'), u"n", {{100, 20}, {120, 5}, {140, 1}}},
        // 16-pixel units: ten fit on a row (x = 144 is the last below 150).
        WrapCase{"full width units", std::u16string(12, u'春'), u"n", {{100, 10}, {120, 2}, {140, 1}}},
        WrapCase{"exactly one row", std::u16string(20, u'a'), u"n", {{100, 20}, {120, 1}}},
        // Five rows of current line, the rest cut; the next line gets row 200 only.
        WrapCase{"current line of five rows",
                 std::u16string(130, u'a'),
                 std::u16string(30, u'b'),
                 {{100, 20}, {120, 20}, {140, 20}, {160, 20}, {180, 20}, {200, 20}}},
        WrapCase{"next line wraps only while above 180",
                 std::u16string(70, u'a'),
                 std::u16string(30, u'b'),
                 {{100, 20}, {120, 20}, {140, 20}, {160, 10}, {180, 20}}}),
    CaseName());

TEST_F(LyricsView, ShowsTheEndMarkerInGreyBelowTheLastLine) {
  LrcBuilder b;
  b.Entry(1000, u"a").Entry(2000, u"zz");
  player.lrc = b.Build();
  DrawFresh(5);
  ExpectTexts(Texts(), {{u"z", 5, 100, kBlack}, {u"z", 13, 100, kBlack}, {kOver, 5, 120, kGrey}});
}

TEST_F(LyricsView, RecordWithoutEntriesDrawsNothingWhenLineZeroIsOnScreen) {
  LrcBuilder b;
  player.lrc = b.Build();
  player.pos_lrc = 0;
  player.timePosition = 7;
  draw_lrc();
  EXPECT_EQ(sim::CanvasLogSize(), 0u);
  EXPECT_EQ(player.pos_lrc, 0);
}

TEST_F(LyricsView, RecordWithoutEntriesShowsTheMarkerInBlackAndAnEmptyNextRow) {
  LrcBuilder b;
  player.lrc = b.Build();
  player.pos_lrc = 3;  // a line of the record before is still on screen
  player.timePosition = 7;
  draw_lrc();
  EXPECT_EQ(player.pos_lrc, 0);
  ExpectTexts(Texts(), {{kOver, 5, 100, kBlack}, {u"", 5, 120, kGrey}});
}

TEST_F(LyricsView, EntryNamingALineOutsideTheRecordDrawsNothingForIt) {
  LrcBuilder b;
  b.Entry(0, u"ok").EntryForLine(1000, 250);
  player.lrc = b.Build();
  DrawFresh(2);
  EXPECT_EQ(player.pos_lrc, 1);
  EXPECT_EQ(RowText(100), u"");
  EXPECT_EQ(RowText(120), kOver);
}

TEST_F(LyricsView, MissingRecordDrawsNothing) {
  player.lrc = nullptr;
  DrawFresh(3);
  EXPECT_EQ(sim::CanvasLogSize(), 0u);
}

struct StatusCase {
  uint8_t iret;
  std::u16string message;
  friend void PrintTo(const StatusCase& k, std::ostream* os) { *os << "status " << (int)k.iret; }
};

class LyricsStatus : public LyricsView, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(LyricsStatus, ShowsTheMessageAt20And100AndStopsFollowingThePosition) {
  const StatusCase& k = GetParam();
  LrcBuilder b;
  b.Tags(u"t", u"a", u"l", u"b").Entry(0, u"x");
  player.lrc = b.Build();
  player.iRet = k.iret;
  player.lrc_flag = 1;
  draw_lrc_info();
  ExpectTexts(Texts(), {{k.message, 20, 100, kBlack}});
  EXPECT_EQ(player.lrc_flag, 0);
  EXPECT_EQ(player.pos_lrc, kNoLine);
}

INSTANTIATE_TEST_SUITE_P(Statuses, LyricsStatus,
                         ::testing::Values(StatusCase{4, u"lrc文件不存在"}, StatusCase{1, u"lrc内存分配错误"},
                                           StatusCase{5, u"lrc文件被加密"}, StatusCase{2, u"lrc文件错误"},
                                           StatusCase{3, u"lrc文件错误"}, StatusCase{100, u"lrc文件错误"},
                                           StatusCase{250, u"lrc文件错误"}),
                         [](const auto& info) { return "status" + std::to_string(info.param.iret); });

TEST_F(LyricsView, ShowsTheFourTagsWhenLoadedAndFollowsThePositionAgain) {
  LrcBuilder b;
  b.Tags(u"春晓", u"孟浩然", u"", u"zq").Entry(0, u"x");
  player.lrc = b.Build();
  player.iRet = 0;
  player.lrc_flag = 0;
  draw_lrc_info();
  ExpectTexts(Texts(),
              {{u"春晓", 5, 100, kBlack}, {u"孟浩然", 5, 120, kBlack}, {u"", 5, 140, kBlack}, {u"zq", 5, 160, kBlack}});
  EXPECT_EQ(player.lrc_flag, 1);
  EXPECT_EQ(player.pos_lrc, kNoLine);
#ifndef BLUE
  // The information view paints up to column 175 whatever the display says.
  auto lines = CallsOf(CanvasOp::kDrawLine);
  ASSERT_EQ(lines.size(), 176u);
  EXPECT_EQ(lines.back().x1, 175);
#endif
}

TEST_F(LyricsView, LoadedStatusWithoutARecordShowsTheFileError) {
  player.lrc = nullptr;
  player.iRet = 0;
  draw_lrc_info();
  EXPECT_EQ(RowText(100), u"lrc文件错误");
  EXPECT_EQ(player.lrc_flag, 0);
}

#ifndef BLUE
TEST_F(LyricsView, LineViewPaintsUpToTheDisplaysLastColumn) {
  LrcBuilder b;
  b.Entry(0, u"a").Entry(1000, u"b");
  player.lrc = b.Build();
  player.display_size = (130u << 16) | 219;
  DrawFresh(5);
  auto lines = CallsOf(CanvasOp::kDrawLine);
  ASSERT_EQ(lines.size(), 131u);
  EXPECT_EQ(lines.back().x1, 130);
}
#endif

}  // namespace
}  // namespace screen_test
