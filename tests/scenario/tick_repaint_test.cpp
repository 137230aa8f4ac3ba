// SPDX-License-Identifier: MIT
// What a tick of the playback timer draws: the time and the bar, and the
// lyrics area only when the line changes, the first line included. Nothing else of the screen is
// painted again once a second.
#include <algorithm>
#include <string>

#include "scenario.h"

namespace scenario {
namespace {

struct Rows {
  int top = 1 << 30;
  int bottom = -1;
  bool Any() const { return bottom >= 0; }
};

// The rows that the drawing calls of the canvas log touch (colour and font
// settings and measurements draw nothing).
Rows DrawnRows() {
  Rows rows;
  for (size_t i = 0; i < sim::CanvasLogSize(); ++i) {
    const sim::CanvasCall& call = sim::CanvasLogAt(i);
    int top = 0, bottom = 0;
    switch (call.op) {
      case sim::CanvasOp::kDrawLine:
      case sim::CanvasOp::kDrawRect:
      case sim::CanvasOp::kFillRect:
        top = std::min(call.y1, call.y2);
        bottom = std::max(call.y1, call.y2);
        break;
      case sim::CanvasOp::kDrawText:
        top = call.y1;
        bottom = call.y1 + 15;
        break;
      default:
        continue;
    }
    rows.top = std::min(rows.top, top);
    rows.bottom = std::max(rows.bottom, bottom);
  }
  return rows;
}

class TickRepaint : public Scenario, public ::testing::WithParamInterface<const char*> {};

TEST_P(TickRepaint, ATickRepaintsTheTimeAndTheBarAndTheLyricsOnlyOnANewLine) {
  AddTrack("a.mp3", 60);
  AddLyrics("a", "[00:01.00]one\n[00:03.00]three\n");
  ASSERT_TRUE(Start("a.mp3", GetParam()));
  ASSERT_TRUE(sim::CanvasExists());
  ASSERT_EQ(Ps().iRet, kLrcLoaded);

  // The tags stand until the first line is due; each line is drawn at the
  // tick that reaches it, and no tick paints anything above the time.
  const struct {
    uint32_t position;
    bool lyrics;  // the lyrics area (rows 100-199) is painted
    uint16_t on_screen;
  } ticks[] = {{1, true, 0}, {2, false, 0}, {3, true, 1}, {4, false, 1}};
  for (const auto& k : ticks) {
    sim::CanvasLogClear();
    Seconds(1);
    ASSERT_EQ(Ps().timePosition, k.position);
    Rows rows = DrawnRows();
    ASSERT_TRUE(rows.Any());
    EXPECT_GE(rows.top, 60) << k.position;
    EXPECT_EQ(rows.bottom >= 100, k.lyrics) << k.position;
    EXPECT_LE(rows.bottom, 199) << k.position;
    EXPECT_EQ(Ps().pos_lrc, k.on_screen) << k.position;
  }

  EndProgram();
}

INSTANTIATE_TEST_SUITE_P(BothThemes, TickRepaint, ::testing::Values("zq_player_blue", "zq_player"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace scenario
