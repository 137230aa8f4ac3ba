// SPDX-License-Identifier: MIT
// The whole background: bands, fixed texts and the order of the widgets.
#include "screen/background.h"

#include "screen/canvas.h"
#include "screen/lyrics_view.h"
#include "screen/widgets.h"
#include "tests/screen/screen_fixture.h"

namespace screen_test {
namespace {

using sim::CanvasOp;

const CanvasColor kBlack = {0, 0, 0, 0};
const CanvasColor kWhite = {0xFF, 0xFF, 0xFF, 0};

class Background : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    const std::u16string name = u"file://b/mobile/audio/春晓.mp3";
    std::copy(name.begin(), name.end(), player.filename);
    player.filename[name.size()] = 0;
    player.cur = 2;
    player.count = 12;
  }
};

TEST_F(Background, DrawsTheFixedTextsWhiteThenBlackBetweenNameAndTheOtherWidgets) {
  backg();
  ExpectTexts(Texts(), {{u"春晓.mp3", 6, 21, kWhite},
                        {u"春晓.mp3", 5, 20, kBlack},
                        {u"zq_lrc  v1.5", 50, 2, kWhite},
                        {u"VUK", 74, 203, kWhite},
                        {u"退出", 4, 202, kWhite},
                        {u"隐藏", 142, 202, kWhite},
                        {u"zq_lrc  v1.5", 49, 1, kBlack},
                        {u"VUK", 73, 202, kBlack},
                        {u"退出", 3, 201, kBlack},
                        {u"隐藏", 141, 201, kBlack},
                        {u"Vol:4", 126, 60, kBlack},
                        {u"顺序", 126, 40, kBlack},
                        {u"3/12", 6, 40, kBlack}});
}

#ifdef BLUE
TEST_F(Background, BlueBandsUseTheGradientRowByRowWithTransparency255) {
  backg();
  auto calls = Calls();
  ASSERT_GE(calls.size(), 60u);
  // The reviewed gradient, top row first.
  const uint32_t gradient[20] = {0x94B0C8, 0x90A7C4, 0x90A1BF, 0x83A0BE, 0x7C9EBC, 0x7697B8, 0x728FB4,
                                 0x6990B3, 0x5983AF, 0x165F9C, 0x005991, 0x0063A3, 0x0672B7, 0x1286C2,
                                 0x259BD1, 0x33A3DF, 0x4AADE9, 0x59BCF0, 0x6BCFFB, 0x8AD9FF};
  for (int k = 0; k < 20; ++k) {
    const auto& color = calls[3 * k];
    const auto& top = calls[3 * k + 1];
    const auto& bottom = calls[3 * k + 2];
    ASSERT_EQ(color.op, CanvasOp::kSetForegroundColor) << k;
    EXPECT_EQ(color.color.t, 255) << k;  // visible: the only painting of the band
    ASSERT_EQ(top.op, CanvasOp::kDrawLine) << k;
    EXPECT_EQ(top.x1, 0);
    EXPECT_EQ(top.x2, 175);
    EXPECT_EQ(top.y1, k);
    EXPECT_EQ(top.y2, k);
    ASSERT_EQ(bottom.op, CanvasOp::kDrawLine) << k;
    EXPECT_EQ(bottom.y1, 219 - k);
    EXPECT_EQ(bottom.y2, 219 - k);
    const uint32_t rgb = (uint32_t)color.color.r << 16 | (uint32_t)color.color.g << 8 | color.color.b;
    EXPECT_EQ(rgb, gradient[k]) << k;
  }
  // The drawn rows, in a column no text reaches.
  const struct {
    int row;
    uint32_t rgb;
  } rows[] = {{0, 0x94B0C8}, {19, 0x8AD9FF}, {200, 0x8AD9FF}, {219, 0x94B0C8}, {9, 0x165F9C}, {210, 0x165F9C}};
  for (const auto& r : rows) {
    EXPECT_EQ(sim::CanvasPixel(0, r.row), r.rgb) << "row " << r.row;
    EXPECT_EQ(sim::CanvasPixel(175, r.row), r.rgb) << "row " << r.row;
  }
}
#else
TEST_F(Background, ColourWheelPaintsTheWholeDisplayFirst) {
  backg();
  auto lines = CallsOf(CanvasOp::kDrawLine);
  ASSERT_GE(lines.size(), 176u);
  for (int i = 0; i < 176; ++i) {
    EXPECT_EQ(lines[i].x1, i);
    EXPECT_EQ(lines[i].x2, i);
    EXPECT_EQ(lines[i].y1, 0);
    EXPECT_EQ(lines[i].y2, 219);
  }
  // Pure red in column 0 and h = 1400 in column 175, in rows without text.
  for (int row : {0, 19, 39, 99, 200, 219}) {
    EXPECT_EQ(sim::CanvasPixel(0, row), 0xFF0000u) << row;
    EXPECT_EQ(sim::CanvasPixel(175, row), 0xFF0082u) << row;
  }
}

// All areas together form one band: every vertical line in the log of a
// whole screen has the wheel's colour of its column, and rows without text
// agree column by column.
TEST_F(Background, ColourWheelRepaintsLeaveNoSeam) {
  player.timeDuraction = 227;
  player.timePosition = 40;
  player.iRet = 4;
  backg();
  draw_time();
  draw_lrc_info();
  draw_bar_all();
  draw_bar();
  draw_vol();
  draw_circle_s();
  draw_num();
  draw_name();
  CanvasColor current = {};
  size_t columns = 0;
  for (const auto& c : Calls()) {
    if (c.op == CanvasOp::kSetForegroundColor) current = c.color;
    if (c.op != CanvasOp::kDrawLine || c.x1 != c.x2) continue;
    ++columns;
    get_rain_f((uint32_t)(8 * c.x1));
    const CanvasColor expected = sim::CanvasLogAt(sim::CanvasLogSize() - 1).color;
    ASSERT_TRUE(SameColor(current, expected)) << "column " << c.x1 << " rows " << c.y1 << "-" << c.y2;
  }
  EXPECT_GT(columns, 1000u);
  for (int x = 0; x < 176; ++x) {
    const uint32_t band = sim::CanvasPixel(x, 0);
    for (int row : {19, 39, 59, 79, 80, 99, 199, 219}) ASSERT_EQ(sim::CanvasPixel(x, row), band) << x << "," << row;
  }
}
#endif

}  // namespace
}  // namespace screen_test
