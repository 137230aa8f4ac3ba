// SPDX-License-Identifier: MIT
#include "tests/screen/screen_fixture.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/canvas.h"
#include "sim/utf8.h"

namespace screen_test {
namespace {

// The record as the program starts, taken before any test changes it.
PlayerState InitialPlayer() {
  static const PlayerState kInitial = player;
  return kInitial;
}

}  // namespace

void ScreenTest::SetUp() {
  sim::Reset();
  player = InitialPlayer();
  uint32_t port = 1;
  player.display_size = UIS_CanvasGetDisplaySize();
  player.screenbuf.buffer = nullptr;
  player.screenbuf.width = (uint16_t)((player.display_size >> 16) + 1);
  player.screenbuf.height = (uint16_t)((player.display_size & 0xFFFF) + 1);
  player.dialog = UIS_CreateColorCanvas(&port, &player.screenbuf, 1);
  ASSERT_NE(player.dialog, 0u);
  player.isCanvas = 1;
  sim::CanvasLogClear();
}

void ScreenTest::TearDown() {
  player.lrc = nullptr;  // the builders own the records
}

std::vector<sim::CanvasCall> ScreenTest::Calls() {
  std::vector<sim::CanvasCall> calls;
  for (size_t i = 0; i < sim::CanvasLogSize(); ++i) calls.push_back(sim::CanvasLogAt(i));
  return calls;
}

std::vector<sim::CanvasCall> ScreenTest::CallsOf(sim::CanvasOp op) {
  std::vector<sim::CanvasCall> calls;
  for (const auto& c : Calls())
    if (c.op == op) calls.push_back(c);
  return calls;
}

std::vector<DrawnText> ScreenTest::Texts() {
  std::vector<DrawnText> texts;
  for (const auto& c : CallsOf(sim::CanvasOp::kDrawText)) texts.push_back({TextOf(c), c.x1, c.y1, c.color});
  return texts;
}

std::u16string ScreenTest::RowText(int y) {
  std::u16string row;
  for (const auto& t : Texts())
    if (t.y == y) row += t.text;
  return row;
}

LrcBuilder& LrcBuilder::Tags(std::u16string ti, std::u16string ar, std::u16string al, std::u16string by) {
  ti_ = std::move(ti);
  ar_ = std::move(ar);
  al_ = std::move(al);
  by_ = std::move(by);
  return *this;
}

LrcBuilder& LrcBuilder::Offset(int16_t offset_ms) {
  offset_ = offset_ms;
  return *this;
}

LrcBuilder& LrcBuilder::Entry(uint32_t time_ms, std::u16string text) {
  texts_.push_back(std::move(text));
  times_.push_back({time_ms, (uint16_t)(texts_.size() - 1)});
  return *this;
}

LrcBuilder& LrcBuilder::EntryForLine(uint32_t time_ms, uint16_t line) {
  times_.push_back({time_ms, line});
  return *this;
}

LRC* LrcBuilder::Build() {
  lines_.clear();
  for (auto& t : texts_) lines_.push_back({t.data(), (uint16_t)t.size()});
  times_.reserve(times_.size() + 1);  // room for time_count + 1, as the parser leaves it
  record_.ti = ti_.data();
  record_.ar = ar_.data();
  record_.al = al_.data();
  record_.by = by_.data();
  record_.offset = offset_;
  record_.time_count = (uint8_t)times_.size();
  record_.line_count = (uint8_t)lines_.size();
  record_.times = times_.empty() ? nullptr : times_.data();
  record_.lines = lines_.empty() ? nullptr : lines_.data();
  return &record_;
}

std::string CaseName::Sanitize(const char* name) {
  std::string n = name;
  for (char& ch : n)
    if (!std::isalnum((unsigned char)ch)) ch = '_';
  return n;
}

void ExpectTexts(const std::vector<DrawnText>& actual, const std::vector<DrawnText>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(Utf8(actual[i].text), Utf8(expected[i].text)) << "text " << i;
    EXPECT_EQ(actual[i].x, expected[i].x) << "text " << i;
    EXPECT_EQ(actual[i].y, expected[i].y) << "text " << i;
    EXPECT_TRUE(SameColor(actual[i].color, expected[i].color))
        << "text " << i << ": " << Describe(actual[i].color) << " instead of " << Describe(expected[i].color);
  }
}

void ExpectCorners(const sim::CanvasCall& call, int x1, int y1, int x2, int y2) {
  EXPECT_EQ(call.x1, x1);
  EXPECT_EQ(call.y1, y1);
  EXPECT_EQ(call.x2, x2);
  EXPECT_EQ(call.y2, y2);
}

std::u16string TextOf(const sim::CanvasCall& call) {
  return std::u16string(call.text, call.text_len);
}

bool SameColor(CanvasColor a, CanvasColor b) {
  return a.r == b.r && a.g == b.g && a.b == b.b && a.t == b.t;
}

std::string Describe(CanvasColor c) {
  char buf[32];
  std::snprintf(buf, sizeof(buf), "(%02X %02X %02X %02X)", c.r, c.g, c.b, c.t);
  return buf;
}

std::string Utf8(const std::u16string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t c = s[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size()) c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
    char bytes[sim::kUtf8MaxBytes];
    out.append(bytes, sim::EncodeUtf8(c, bytes));
  }
  return out;
}

}  // namespace screen_test
