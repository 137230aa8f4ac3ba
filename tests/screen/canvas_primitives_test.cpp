// SPDX-License-Identifier: MIT
// What each drawing primitive passes to the canvas: corners, colours,
// anchors and lengths, read back from the stand-in's call log.
#include <functional>
#include <string>

#include "screen/canvas.h"
#include "tests/screen/screen_fixture.h"

namespace screen_test {
namespace {

using sim::CanvasOp;

struct ShapeCase {
  const char* name;
  std::function<void()> draw;
  CanvasOp op;
  int x1, y1, x2, y2;
  uint32_t a = 0, b = 0, c = 0;
};

class CanvasPrimitives : public ScreenTest, public ::testing::WithParamInterface<ShapeCase> {};

TEST_P(CanvasPrimitives, PassTheCornersTheLayoutPromises) {
  const ShapeCase& k = GetParam();
  k.draw();
  auto calls = Calls();
  ASSERT_EQ(calls.size(), 1u) << k.name;
  const auto& call = calls[0];
  EXPECT_EQ(call.op, k.op) << k.name;
  EXPECT_EQ(call.dialog, player.dialog) << k.name;
  ExpectCorners(call, k.x1, k.y1, k.x2, k.y2);
  EXPECT_EQ(call.a, k.a) << k.name;
  EXPECT_EQ(call.b, k.b) << k.name;
  EXPECT_EQ(call.c, k.c) << k.name;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, CanvasPrimitives,
    ::testing::Values(
        ShapeCase{"fill of the name row", [] { FillRect(0, 20, 176, 19); }, CanvasOp::kFillRect, 0, 20, 176, 39},
        ShapeCase{"frame of the bar", [] { DrawRect(5, 82, 165, 12); }, CanvasOp::kDrawRect, 5, 82, 170, 94, 0},
        ShapeCase{"rect by corners", [] { DrawRectxy(7, 8, 9, 10); }, CanvasOp::kDrawRect, 7, 8, 9, 10, 0},
        ShapeCase{"round rect", [] { DrawRoundRect(10, 20, 30, 40, 1, 2, 3); }, CanvasOp::kDrawRoundRect, 10, 20, 40, 60,
                  1, 2, 3},
        ShapeCase{"arc by box", [] { DrawArc_any(1, 2, 3, 4, 5, 6, 7); }, CanvasOp::kDrawArc, 1, 2, 4, 6, 5, 6, 7},
        ShapeCase{"arc by centre", [] { DrawArc(50, 60, 10, 7, 8, 9); }, CanvasOp::kDrawArc, 40, 50, 60, 70, 7, 8, 9},
        ShapeCase{"line", [] { DrawLine(175, 3, 0, 3); }, CanvasOp::kDrawLine, 175, 3, 0, 3},
        ShapeCase{"coordinates truncated to 16 bits", [] { DrawLine(65536 + 3, -1, 70000, 5); }, CanvasOp::kDrawLine, 3,
                  -1, 4464, 5}),
    CaseName());

struct ColorCase {
  const char* name;
  std::function<void()> set;
  CanvasOp op;
  CanvasColor expected;
};

class ColorExpansion : public ScreenTest, public ::testing::WithParamInterface<ColorCase> {};

TEST_P(ColorExpansion, SetsTheColourOfTheDataModel) {
  const ColorCase& k = GetParam();
  k.set();
  auto calls = Calls();
  ASSERT_EQ(calls.size(), 1u) << k.name;
  EXPECT_EQ(calls[0].op, k.op) << k.name;
  EXPECT_TRUE(SameColor(calls[0].color, k.expected))
      << k.name << ": " << Describe(calls[0].color) << " instead of " << Describe(k.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, ColorExpansion,
    ::testing::Values(
        ColorCase{"packed 4AF0", [] { SetFillColor_u2c(0x4AF0); }, CanvasOp::kSetFillColor, {0x40, 0xA0, 0xF0, 0}},
        ColorCase{"packed FFFF", [] { SetFillColor_u2c(0xFFFF); }, CanvasOp::kSetFillColor, {0xF0, 0xF0, 0xF0, 0xF0}},
        ColorCase{
            "word 12345678", [] { SetFillColor_x(0x12345678); }, CanvasOp::kSetFillColor, {0x20, 0x40, 0x60, 0x80}},
        ColorCase{"word all FF", [] { SetFillColor_x(0xFFFFFFFF); }, CanvasOp::kSetFillColor, {0xF0, 0xF0, 0xF0, 0xF0}},
        ColorCase{"word bytes 10 give 00",
                  [] { SetForegroundColor_x(0x10101010); },
                  CanvasOp::kSetForegroundColor,
                  {0, 0, 0, 0}},
        ColorCase{"word bytes 0F give F0",
                  [] { SetForegroundColor_x(0x0F0F0F0F); },
                  CanvasOp::kSetForegroundColor,
                  {0xF0, 0xF0, 0xF0, 0xF0}},
        ColorCase{"foreground packed 1234",
                  [] { SetForegroundColor_u2c(0x1234); },
                  CanvasOp::kSetForegroundColor,
                  {0x10, 0x20, 0x30, 0x40}},
        ColorCase{"plain fill bytes", [] { SetFillColor(1, 2, 3, 4); }, CanvasOp::kSetFillColor, {1, 2, 3, 4}},
        ColorCase{"plain foreground bytes",
                  [] { SetForegroundColor(0xFE, 0x80, 0x7F, 0xFF); },
                  CanvasOp::kSetForegroundColor,
                  {0xFE, 0x80, 0x7F, 0xFF}}),
    CaseName());

using CanvasPrimitive = ScreenTest;

TEST_F(CanvasPrimitive, FloodFillSetsThePackedColourThenFillsASquareOfSevenPixels) {
  floodfill(10, 11, 0x4AF0);
  auto calls = Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_TRUE(SameColor(calls[0].color, {0x40, 0xA0, 0xF0, 0}));
  EXPECT_EQ(calls[1].op, CanvasOp::kFillRect);
  ExpectCorners(calls[1], 10, 11, 16, 17);
}

TEST_F(CanvasPrimitive, DrawTextSetsFontAndSeeThroughBackgroundThenDrawsWithTheJoinedAnchor) {
  DrawText(u"春晓", 5, 100, 4, 16);
  auto calls = Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].op, CanvasOp::kSetFont);
  EXPECT_EQ(calls[0].a, 1u);
  EXPECT_EQ(calls[0].dialog, player.dialog);
  EXPECT_EQ(calls[1].op, CanvasOp::kSetBackgroundColor);
  EXPECT_TRUE(SameColor(calls[1].color, {0, 0, 0, 255}));
  EXPECT_EQ(calls[2].op, CanvasOp::kDrawText);
  EXPECT_EQ(calls[2].a, 0u);   // start offset
  EXPECT_EQ(calls[2].b, 2u);   // length
  EXPECT_EQ(calls[2].c, 20u);  // anchor 4 | 16
  EXPECT_EQ(calls[2].x1, 5);
  EXPECT_EQ(calls[2].y1, 100);
  EXPECT_EQ(TextOf(calls[2]), u"春晓");
}

TEST_F(CanvasPrimitive, DrawTextOfAnEmptyTextStillSetsFontAndBackground) {
  DrawText(u"", 5, 120, 4, 16);
  auto calls = Calls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].op, CanvasOp::kSetFont);
  EXPECT_EQ(calls[1].op, CanvasOp::kSetBackgroundColor);
  EXPECT_EQ(calls[2].op, CanvasOp::kDrawText);
  EXPECT_EQ(calls[2].b, 0u);
}

TEST_F(CanvasPrimitive, DrawTextPassesTheLengthOfAVeryLongTextTruncatedTo16Bits) {
  std::u16string long_text(70000, u'a');
  DrawText(long_text.c_str(), 0, 0, 4, 16);
  auto texts = CallsOf(CanvasOp::kDrawText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].b, 70000u & 0xFFFF);
}

TEST_F(CanvasPrimitive, GetFontSizeReturnsHeightHighAndWidthLow) {
  struct {
    const char16_t* text;
    uint32_t expected;
  } cases[] = {{u"A", (16u << 16) | 8}, {u"春", (16u << 16) | 16}, {u"A春b", (16u << 16) | 32}, {u"", 16u << 16}};
  for (const auto& k : cases) EXPECT_EQ(getfontsize(k.text, 1), k.expected) << Utf8(k.text);
}

TEST_F(CanvasPrimitive, ImageOperationsDifferOnlyInSourceKindAndFlags) {
  int source = 0;
  DrawDrmImage(&source, 3, 4, 0x10004, 0x10);
  DrawPathImage(&source, 5, 6, 4, 16);
  auto images = CallsOf(CanvasOp::kDrawImage);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].a, 0u);
  EXPECT_EQ(images[0].b, 0x14u);  // anchor truncated to 16 bits
  EXPECT_EQ(images[0].c, 0u);
  EXPECT_EQ(images[0].x1, 3);
  EXPECT_EQ(images[1].a, 1u);
  EXPECT_EQ(images[1].b, 20u);
  EXPECT_EQ(images[1].c, 6u);
  EXPECT_EQ(images[1].y1, 6);
}

TEST_F(CanvasPrimitive, EveryPrimitiveReadsTheCanvasHandleAtTheMomentOfTheCall) {
  uint32_t port = 1;
  const uint32_t second = UIS_CreateColorCanvas(&port, &player.screenbuf, 1);
  ASSERT_NE(second, 0u);
  ASSERT_NE(second, player.dialog);
  player.dialog = second;
  ClearLog();
  DrawLine(0, 0, 1, 1);
  DrawRect(0, 0, 1, 1);
  FillRect(0, 0, 1, 1);
  DrawText(u"x", 0, 0, 4, 16);
  for (const auto& call : Calls())
    if (call.op != CanvasOp::kSetBackgroundColor) {
      EXPECT_EQ(call.dialog, second);
    }
}

}  // namespace
}  // namespace screen_test
