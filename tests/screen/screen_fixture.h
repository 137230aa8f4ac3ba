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
  static void ClearLog() { sim::canvas_log_clear(); }
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

std::u16string TextOf(const sim::CanvasCall& call);
bool SameColor(CanvasColor a, CanvasColor b);
std::string Describe(CanvasColor c);
std::string Utf8(const std::u16string& s);

}  // namespace screen_test
