// SPDX-License-Identifier: MIT
// The colour wheel of the theme without BLUE.
#include "screen/canvas.h"
#include "tests/screen/screen_fixture.h"

namespace screen_test {
namespace {

struct WheelCase {
  uint32_t v;
  uint8_t r, g, b;
};

class ColourWheel : public ScreenTest, public ::testing::WithParamInterface<WheelCase> {};

TEST_P(ColourWheel, SetsTheSegmentsColourWithTransparency128) {
  const WheelCase& k = GetParam();
  get_rain_f(k.v);
  auto calls = Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].op, sim::CanvasOp::kSetForegroundColor);
  EXPECT_TRUE(SameColor(calls[0].color, {k.r, k.g, k.b, 128})) << k.v << " gave " << Describe(calls[0].color);
}

INSTANTIATE_TEST_SUITE_P(SegmentEdges, ColourWheel,
                         ::testing::Values(WheelCase{0, 255, 0, 0}, WheelCase{255, 255, 255, 0},
                                           WheelCase{256, 254, 255, 0}, WheelCase{510, 0, 255, 0},
                                           WheelCase{511, 0, 255, 1}, WheelCase{765, 0, 255, 255},
                                           WheelCase{766, 0, 254, 255}, WheelCase{1020, 0, 0, 255},
                                           WheelCase{1021, 1, 0, 255}, WheelCase{1275, 255, 0, 255},
                                           WheelCase{1276, 255, 0, 254}, WheelCase{1400, 255, 0, 130},
                                           WheelCase{1529, 255, 0, 1}, WheelCase{1530, 255, 0, 0},
                                           WheelCase{1530 + 600, 0, 255, 90}, WheelCase{4294967295u, 255, 255, 0}));

using HueColumns = ScreenTest;

TEST_F(HueColumns, PaintEachColumnInclusiveWithTheColourOfEightTimesItsIndex) {
  PaintHueColumns(0, 175, 100, 199);
  auto calls = Calls();
  ASSERT_EQ(calls.size(), 2u * 176);
  for (int i = 0; i < 176; ++i) {
    EXPECT_EQ(calls[2 * i].op, sim::CanvasOp::kSetForegroundColor);
    EXPECT_EQ(calls[2 * i + 1].op, sim::CanvasOp::kDrawLine);
    EXPECT_EQ(calls[2 * i + 1].x1, i);
    EXPECT_EQ(calls[2 * i + 1].y1, 100);
    EXPECT_EQ(calls[2 * i + 1].y2, 199);
  }
  EXPECT_EQ(sim::CanvasPixel(0, 100), 0xFF0000u);
  EXPECT_EQ(sim::CanvasPixel(0, 199), 0xFF0000u);
  EXPECT_EQ(sim::CanvasPixel(175, 150), 0xFF0082u);
  EXPECT_EQ(sim::CanvasPixel(32, 150), 0xFEFF00u);  // h = 256, just past the yellow edge
  EXPECT_EQ(sim::CanvasPixel(0, 99), 0xFFFFFFu);    // rows outside stay as the fresh canvas left them
  EXPECT_EQ(sim::CanvasPixel(0, 200), 0xFFFFFFu);
}

TEST_F(HueColumns, EmptyRangePaintsNothing) {
  PaintHueColumns(10, 9, 0, 219);
  EXPECT_EQ(sim::CanvasLogSize(), 0u);
}

}  // namespace
}  // namespace screen_test
