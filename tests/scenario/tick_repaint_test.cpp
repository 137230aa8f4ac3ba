// What a tick of the playback timer draws: the time and the bar, and the
// lyrics area only when the line changes. Nothing else of the screen is
// painted again once a second.
#include <algorithm>
#include <string>

#include "scenario.h"

namespace scenario {
namespace {

struct Rows {
  int top = 1 << 30;
  int bottom = -1;
  bool any() const { return bottom >= 0; }
};

// The rows that the drawing calls of the canvas log touch (colour and font
// settings and measurements draw nothing).
Rows drawn_rows() {
  Rows rows;
  for (size_t i = 0; i < sim::canvas_log_size(); ++i) {
    const sim::CanvasCall& call = sim::canvas_log_at(i);
    int top = 0, bottom = 0;
    switch (call.op) {
      case sim::CanvasOp::DrawLine:
      case sim::CanvasOp::DrawRect:
      case sim::CanvasOp::FillRect:
        top = std::min(call.y1, call.y2);
        bottom = std::max(call.y1, call.y2);
        break;
      case sim::CanvasOp::DrawText:
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
  add_track("a.mp3", 60);
  add_lyrics("a", "[00:01.00]one\n[00:03.00]three\n");
  ASSERT_TRUE(start("a.mp3", GetParam()));
  ASSERT_TRUE(sim::canvas_exists());
  ASSERT_EQ(ps().iRet, LRC_LOADED);

  // Position 1: the first line is current, but the view already stands on
  // index 0, so only the time (rows 60-79) and the bar (80-99) are drawn.
  sim::canvas_log_clear();
  seconds(1);
  ASSERT_EQ(ps().timePosition, 1u);
  Rows first = drawn_rows();
  ASSERT_TRUE(first.any());
  EXPECT_GE(first.top, 60);
  EXPECT_LE(first.bottom, 99);

  // Position 2: no new line either.
  sim::canvas_log_clear();
  seconds(1);
  Rows second = drawn_rows();
  EXPECT_GE(second.top, 60);
  EXPECT_LE(second.bottom, 99);

  // Position 3: the second line becomes current; the lyrics area is painted
  // as well, and still nothing above the time.
  sim::canvas_log_clear();
  seconds(1);
  Rows third = drawn_rows();
  EXPECT_GE(third.top, 60);
  EXPECT_GE(third.bottom, 100);
  EXPECT_LE(third.bottom, 199);
  EXPECT_EQ(ps().pos_lrc, 1);

  end_program();
}

INSTANTIATE_TEST_SUITE_P(BothThemes, TickRepaint, ::testing::Values("zq_player_blue", "zq_player"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace scenario
