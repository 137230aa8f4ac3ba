// SPDX-License-Identifier: MIT
// The trace's formatting: quoting, UTF-8, and the lyrics rows read out of
// canvas calls the way the lyrics view draws them.
#include "drive/trace_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using sim::CanvasCall;
using sim::CanvasOp;

namespace {

const CanvasColor kBlack{0, 0, 0, 0};
const CanvasColor kGrey{0x80, 0x80, 0x80, 0};
const CanvasColor kWhite{0xFF, 0xFF, 0xFF, 0};
const CanvasColor kBlue{0x4A, 0xB9, 0xED, 0};

CanvasCall text(int x, int y, const char16_t* s, CanvasColor color) {
  CanvasCall c{};
  c.op = CanvasOp::kDrawText;
  c.x1 = static_cast<int16_t>(x);
  c.y1 = static_cast<int16_t>(y);
  c.color = color;
  size_t n = std::char_traits<char16_t>::length(s);
  c.text_len = static_cast<uint16_t>(n);
  std::memcpy(c.text, s, n * sizeof(char16_t));
  return c;
}

CanvasCall Shape(CanvasOp op, int x1, int y1, int x2, int y2) {
  CanvasCall c{};
  c.op = op;
  c.x1 = static_cast<int16_t>(x1);
  c.y1 = static_cast<int16_t>(y1);
  c.x2 = static_cast<int16_t>(x2);
  c.y2 = static_cast<int16_t>(y2);
  c.color = kBlue;
  return c;
}

// One call per character, as the view wraps a line.
void Chars(std::vector<CanvasCall>* calls, int y, const char16_t* s, CanvasColor color) {
  for (int i = 0; s[i] != 0; ++i) {
    char16_t one[2] = {s[i], 0};
    calls->push_back(text(5 + 16 * i, y, one, color));
  }
}

struct Rows {
  bool repainted;
  std::string black, grey;
};

Rows RowsOf(const std::vector<CanvasCall>& calls) {
  drive::LyricsRows rows;
  for (const CanvasCall& c : calls) rows.Add(c);
  return Rows{rows.Repainted(), rows.Black(), rows.Grey()};
}

}  // namespace

TEST(TraceFormat, QuotesEscapeQuotesAndBackslashesOnly) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"", "\"\""},
      {"Title", "\"Title\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"C:\\lrc", "\"C:\\\\lrc\""},
      {"静夜思|李白", "\"静夜思|李白\""},
  };
  for (const Case& c : cases) {
    drive::Text out;
    drive::AppendQuoted(&out, c.in);
    EXPECT_STREQ(out.CStr(), c.out) << c.in;
  }
}

TEST(TraceFormat, Utf16BecomesUtf8) {
  struct Case {
    std::u16string in;
    const char* out;
  } cases[] = {
      {u"abc", "abc"},
      {u"\u00e9", "\xc3\xa9"},
      {u"lrc文件不存在", "lrc文件不存在"},
      {u"\U0001F600", "\xf0\x9f\x98\x80"},                  // a surrogate pair
      {std::u16string(1, 0xD800) + u"x", "\xef\xbf\xbdx"},  // a lone surrogate
      {std::u16string(1, 0xDC00), "\xef\xbf\xbd"},          // a lone second half
  };
  for (const Case& c : cases) {
    drive::Text out;
    drive::AppendUtf8(&out, c.in.data(), c.in.size());
    EXPECT_STREQ(out.CStr(), c.out);
  }
  const char16_t stops[] = {u'a', 0, u'b'};
  drive::Text out;
  drive::AppendUtf8(&out, stops, 3);
  EXPECT_STREQ(out.CStr(), "a");
}

TEST(TraceFormat, TagsKeepEmptyRowsBetweenBars) {
  Rows rows = RowsOf({Shape(CanvasOp::kFillRect, 0, 100, 176, 199), text(5, 100, u"Title", kBlack),
                      text(5, 120, u"Artist", kBlack), text(5, 140, u"", kBlack), text(5, 160, u"", kBlack)});
  EXPECT_TRUE(rows.repainted);
  EXPECT_EQ(rows.black, "Title|Artist||");
  EXPECT_EQ(rows.grey, "");
}

TEST(TraceFormat, WrappedLinesJoinCharactersOfARowAndSplitRows) {
  std::vector<CanvasCall> calls = {Shape(CanvasOp::kFillRect, 0, 100, 176, 199)};
  Chars(&calls, 100, u"Spring dawn", kBlack);
  Chars(&calls, 120, u"poem", kBlack);
  Chars(&calls, 140, u"花落", kGrey);
  Chars(&calls, 160, u"知多少", kGrey);
  Rows rows = RowsOf(calls);
  EXPECT_EQ(rows.black, "Spring dawn|poem");
  EXPECT_EQ(rows.grey, "花落|知多少");
}

TEST(TraceFormat, NextLineOnTheRowBelowTheAreaBelongsToTheLyrics) {
  std::vector<CanvasCall> calls = {Shape(CanvasOp::kFillRect, 0, 100, 176, 199)};
  for (int y = 100; y <= 180; y += 20) Chars(&calls, y, u"ab", kBlack);
  calls.push_back(text(5, 200, u"    ==OVER==    ", kGrey));
  // The fixed bottom labels are drawn lower and in other colours.
  calls.push_back(text(4, 202, u"退出", kWhite));
  Rows rows = RowsOf(calls);
  EXPECT_EQ(rows.black, "ab|ab|ab|ab|ab");
  EXPECT_EQ(rows.grey, "    ==OVER==    ");
}

TEST(TraceFormat, OnlyDrawingInTheLyricsAreaCounts) {
  struct Case {
    const char* what;
    std::vector<CanvasCall> calls;
    bool repainted;
    const char* black;
  };
  const Case cases[] = {
      {"widget fill just above the area",
       {Shape(CanvasOp::kFillRect, 0, 80, 176, 99), text(6, 60, u"00:01", kBlack)},
       false,
       ""},
      {"colour-wheel column over the area", {Shape(CanvasOp::kDrawLine, 7, 100, 7, 199)}, true, ""},
      {"whole-screen column", {Shape(CanvasOp::kDrawLine, 0, 0, 0, 219)}, true, ""},
      {"bottom band line", {Shape(CanvasOp::kDrawLine, 0, 205, 175, 205)}, false, ""},
      {"message alone", {text(20, 100, u"lrc文件不存在", kBlack)}, true, "lrc文件不存在"},
      {"white text in the area is not lyrics", {text(20, 120, u"x", kWhite)}, false, ""},
      {"nothing", {}, false, ""},
  };
  for (const Case& c : cases) {
    Rows rows = RowsOf(c.calls);
    EXPECT_EQ(rows.repainted, c.repainted) << c.what;
    EXPECT_EQ(rows.black, c.black) << c.what;
  }
}

// The screen shown again draws the tags and then, in the same event, the
// line of the position over them: the trace shows what stays on screen.
TEST(TraceFormat, RepaintWithinOneEventStartsTheRowsAfresh) {
  const std::vector<CanvasCall> repaints[] = {
      {Shape(CanvasOp::kFillRect, 0, 100, 176, 199)},                                           // blue theme
      {Shape(CanvasOp::kDrawLine, 0, 100, 0, 199), Shape(CanvasOp::kDrawLine, 1, 100, 1, 199)},  // colour wheel
  };
  for (const auto& repaint : repaints) {
    std::vector<CanvasCall> calls = repaint;
    calls.push_back(text(5, 100, u"Title", kBlack));
    calls.push_back(text(5, 120, u"Artist", kBlack));
    calls.push_back(text(5, 140, u"stale", kGrey));
    calls.insert(calls.end(), repaint.begin(), repaint.end());
    Chars(&calls, 100, u"one", kBlack);
    Chars(&calls, 120, u"two", kGrey);
    Rows rows = RowsOf(calls);
    EXPECT_TRUE(rows.repainted);
    EXPECT_EQ(rows.black, "one");
    EXPECT_EQ(rows.grey, "two");
  }
}
