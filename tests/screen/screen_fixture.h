// SPDX-License-Identifier: MIT
// A canvas of the stand-in, the player state as the program starts, and
// readers of the canvas call log, for tests that call the screen routines.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/player_state.h"
#include "lyrics/record.h"
#include "sim/driver.h"

namespace screen_test {

// What a DrawText call put on the canvas.
struct DrawnText {
  std::u16string text;
  int x;
  int y;
  CanvasColor color;
};

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Every call logged since the last clear.
  static std::vector<sim::CanvasCall> Calls();
  static std::vector<sim::CanvasCall> CallsOf(sim::CanvasOp op);
  static std::vector<DrawnText> Texts();
  // The texts drawn on one row, joined in drawing order.
  static std::u16string RowText(int y);
  static void ClearLog() { sim::CanvasLogClear(); }
};

// A lyrics record built by hand: times in milliseconds with the text each
// one starts. Every entry gets a line of its own unless `line` is given.
class LrcBuilder {
 public:
  LrcBuilder& Tags(std::u16string ti, std::u16string ar, std::u16string al, std::u16string by);
  LrcBuilder& Offset(int16_t offset_ms);
  LrcBuilder& Entry(uint32_t time_ms, std::u16string text);
  // An entry pointing at an existing line (or a bad index, for robustness).
  LrcBuilder& EntryForLine(uint32_t time_ms, uint16_t line);
  LRC* Build();  // valid while the builder lives

 private:
  std::u16string ti_, ar_, al_, by_;
  int16_t offset_ = 0;
  std::vector<std::u16string> texts_;
  std::vector<LRC_TIME> times_;
  std::vector<LRC_LINE> lines_;
  LRC record_ = {};
};

// Test names from a case's "name" field: letters and digits kept, the rest '_'.
struct CaseName {
  template <class Info>
  std::string operator()(const Info& info) const {
    return Sanitize(info.param.name);
  }
  static std::string Sanitize(const char* name);
};

// Text, position and colour of each drawn text, in order.
void ExpectTexts(const std::vector<DrawnText>& actual, const std::vector<DrawnText>& expected);
// The region (or the two points) of a logged call.
void ExpectCorners(const sim::CanvasCall& call, int x1, int y1, int x2, int y2);

std::u16string TextOf(const sim::CanvasCall& call);
bool SameColor(CanvasColor a, CanvasColor b);
std::string Describe(CanvasColor c);
std::string Utf8(const std::u16string& s);

}  // namespace screen_test
