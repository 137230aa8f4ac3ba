// SPDX-License-Identifier: MIT
// The stand-in's canvas service, pixel by pixel: lines, outlines, fills,
// text with its background, clipping, handles and the call log.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "sim/driver.h"
#include "sim/host/png/png_writer.h"
#include "sim/internal.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

CanvasPoint P(int x, int y) {
  return CanvasPoint{(int16_t)x, (int16_t)y};
}
CanvasRegion R(int x1, int y1, int x2, int y2) {
  return CanvasRegion{P(x1, y1), P(x2, y2)};
}
CanvasColor C(uint32_t rgb, uint8_t t = 0) {
  return CanvasColor{(uint8_t)(rgb >> 16), (uint8_t)(rgb >> 8), (uint8_t)rgb, t};
}

class Rasterizer : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    uint32_t port = 1;
    CanvasBuffer buffer = {nullptr, 176, 220};
    dialog_ = UIS_CreateColorCanvas(&port, &buffer, 1);
    ASSERT_NE(dialog_, 0u);
    sim::CanvasLogClear();
  }

  // Pixels that differ from white, as (x, y) pairs.
  static std::vector<std::pair<int, int>> Painted() {
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < 220; ++y)
      for (int x = 0; x < 176; ++x)
        if (sim::CanvasPixel(x, y) != kWhite) out.push_back({x, y});
    return out;
  }

  uint32_t dialog_ = 0;
};

struct LineCase {
  int x1, y1, x2, y2;
  size_t pixels;  // max(|dx|, |dy|) + 1 when fully on screen
};

class RasterLine : public Rasterizer, public ::testing::WithParamInterface<LineCase> {};

TEST_P(RasterLine, IncludesBothEndPointsInAnyDirection) {
  const LineCase& k = GetParam();
  UIS_CanvasSetForegroundColor(C(0x102030, 128));  // opaque whatever the transparency
  UIS_CanvasDrawLine(P(k.x1, k.y1), P(k.x2, k.y2), dialog_);
  auto painted = Painted();
  EXPECT_EQ(painted.size(), k.pixels);
  auto on_screen = [](int x, int y) { return x >= 0 && y >= 0 && x < 176 && y < 220; };
  if (on_screen(k.x1, k.y1)) {
    EXPECT_EQ(sim::CanvasPixel(k.x1, k.y1), 0x102030u);
  }
  if (on_screen(k.x2, k.y2)) {
    EXPECT_EQ(sim::CanvasPixel(k.x2, k.y2), 0x102030u);
  }
}

INSTANTIATE_TEST_SUITE_P(Directions, RasterLine,
                         ::testing::Values(LineCase{0, 0, 175, 0, 176}, LineCase{175, 219, 175, 0, 220},
                                           LineCase{10, 10, 10, 10, 1}, LineCase{20, 5, 3, 40, 36},
                                           LineCase{100, 100, 60, 90, 41}, LineCase{0, 219, 219, 0, 176},
                                           LineCase{-50, 10, 200, 10, 176}, LineCase{5, -30, 5, 300, 220},
                                           LineCase{-10, -10, -1, -1, 0}));

TEST_F(Rasterizer, RectangleOutlineHasBothCornersInside) {
  UIS_CanvasSetForegroundColor(C(0x000000));
  UIS_CanvasDrawRect(R(5, 82, 170, 94), 0, dialog_);
  for (auto [x, y] : {std::pair{5, 82}, {170, 82}, {5, 94}, {170, 94}, {100, 82}, {5, 88}})
    EXPECT_EQ(sim::CanvasPixel(x, y), 0u) << x << "," << y;
  EXPECT_EQ(sim::CanvasPixel(6, 83), kWhite);
  EXPECT_EQ(sim::CanvasPixel(171, 94), kWhite);
  EXPECT_EQ(sim::CanvasPixel(5, 95), kWhite);
  EXPECT_EQ(Painted().size(), 2u * 166 + 2u * 11);
}

struct FillCase {
  int x1, y1, x2, y2;
  size_t pixels;
};

class RasterFill : public Rasterizer, public ::testing::WithParamInterface<FillCase> {};

TEST_P(RasterFill, PaintsBothCornersAndClipsAtTheEdge) {
  const FillCase& k = GetParam();
  UIS_CanvasSetFillColor(C(0x4AB9ED, 255));
  UIS_CanvasFillRect(R(k.x1, k.y1, k.x2, k.y2), dialog_);
  EXPECT_EQ(Painted().size(), k.pixels);
}

INSTANTIATE_TEST_SUITE_P(Regions, RasterFill,
                         ::testing::Values(FillCase{0, 20, 176, 39, 176 * 20}, FillCase{6, 83, 169, 93, 164 * 11},
                                           FillCase{169, 93, 6, 83, 164 * 11}, FillCase{7, 7, 7, 7, 1},
                                           FillCase{-100, 210, 500, 400, 176 * 10}, FillCase{300, 0, 400, 10, 0}));

TEST_F(Rasterizer, FillCornersAreInclusive) {
  UIS_CanvasSetFillColor(C(0x123456));
  UIS_CanvasFillRect(R(0, 20, 176, 39), dialog_);
  EXPECT_EQ(sim::CanvasPixel(0, 20), 0x123456u);
  EXPECT_EQ(sim::CanvasPixel(175, 39), 0x123456u);
  EXPECT_EQ(sim::CanvasPixel(0, 19), kWhite);
  EXPECT_EQ(sim::CanvasPixel(0, 40), kWhite);
}

// Unifont's "A": rows of eight bits, the leftmost pixel in the top bit.
const uint8_t kGlyphA[16] = {0x00, 0x00, 0x00, 0x00, 0x18, 0x24, 0x24, 0x42,
                             0x42, 0x7E, 0x42, 0x42, 0x42, 0x42, 0x00, 0x00};

TEST_F(Rasterizer, TextDrawsTheUnifontGlyphInTheForegroundOverAClearBackground) {
  UIS_CanvasSetFillColor(C(0xFF0000));
  UIS_CanvasFillRect(R(0, 0, 40, 40), dialog_);
  UIS_CanvasSetForegroundColor(C(0x000000));
  UIS_CanvasSetBackgroundColor(C(0x0000FF, 255));
  UIS_CanvasDrawColorText(u"A", 0, 1, P(10, 10), 20, dialog_);
  for (int row = 0; row < 16; ++row)
    for (int col = 0; col < 8; ++col) {
      const bool ink = (kGlyphA[row] >> (7 - col)) & 1;
      EXPECT_EQ(sim::CanvasPixel(10 + col, 10 + row), ink ? 0u : 0xFF0000u) << col << "," << row;
    }
}

TEST_F(Rasterizer, OpaqueBackgroundPaintsTheWholeGlyphCell) {
  UIS_CanvasSetForegroundColor(C(0x000000));
  UIS_CanvasSetBackgroundColor(C(0x0000FF, 0));
  UIS_CanvasDrawColorText(u"A春", 0, 2, P(10, 10), 20, dialog_);
  EXPECT_EQ(sim::CanvasPixel(10, 10), 0x0000FFu);
  EXPECT_EQ(sim::CanvasPixel(33, 25), 0x0000FFu);  // last pixel of the 16-wide cell
  EXPECT_EQ(sim::CanvasPixel(34, 10), kWhite);
  EXPECT_EQ(sim::CanvasPixel(10, 26), kWhite);
  size_t blue = 0, black = 0;
  for (auto [x, y] : Painted()) (sim::CanvasPixel(x, y) == 0xFFu ? blue : black)++;
  EXPECT_EQ(blue + black, 24u * 16);
  EXPECT_GT(black, 20u);
}

TEST_F(Rasterizer, TextIsClippedAtTheScreenEdge) {
  UIS_CanvasSetForegroundColor(C(0x000000));
  UIS_CanvasSetBackgroundColor(C(0x00FF00, 0));
  // Row 210: the top ten rows of the cell are visible; column 170: six of eight.
  UIS_CanvasDrawColorText(u"AB", 0, 2, P(170, 210), 20, dialog_);
  EXPECT_EQ(Painted().size(), 6u * 10);
  sim::CanvasLogClear();
  UIS_CanvasDrawColorText(u"A", 0, 1, P(-4, -8), 20, dialog_);
  EXPECT_EQ(sim::CanvasPixel(0, 0), 0u + (((kGlyphA[8] >> 3) & 1) ? 0u : 0x00FF00u));
}

TEST_F(Rasterizer, TextHonoursOffsetAndLengthAndStopsAtATerminator) {
  UIS_CanvasSetForegroundColor(C(0x000000));
  UIS_CanvasSetBackgroundColor(C(0x00FF00, 0));
  const char16_t text[] = u"xxA\0BB";
  UIS_CanvasDrawColorText(text, 2, 4, P(0, 0), 20, dialog_);
  EXPECT_EQ(Painted().size(), 8u * 16);  // only "A": the zero unit ends the text
  const auto& call = sim::CanvasLogAt(sim::CanvasLogSize() - 1);
  EXPECT_EQ(call.op, sim::CanvasOp::kDrawText);
  EXPECT_EQ(call.a, 2u);
  EXPECT_EQ(call.b, 4u);
  EXPECT_EQ(std::u16string(call.text, call.text_len), u"A");
}

TEST_F(Rasterizer, StringSizeIsSixteenHighAndTheSumOfGlyphWidths) {
  struct {
    const char16_t* text;
    uint16_t width;
  } cases[] = {{u"A", 8}, {u"春", 16}, {u"春晓.mp3", 16 * 2 + 8 * 4}, {u"", 0}, {u"\xD800", 8}};
  for (const auto& k : cases) {
    CanvasSize size = {0, 0};
    UIS_CanvasGetStringSize(k.text, &size, 1);
    EXPECT_EQ(size.height, 16);
    EXPECT_EQ(size.width, k.width);
  }
}

TEST_F(Rasterizer, UnitWithoutAGlyphShowsAVisibleBox) {
  UIS_CanvasSetForegroundColor(C(0x000000));
  UIS_CanvasSetBackgroundColor(C(0, 255));
  UIS_CanvasDrawColorText(u"\xD800", 0, 1, P(0, 0), 20, dialog_);
  const size_t painted = Painted().size();
  EXPECT_GT(painted, 10u);
  for (auto [x, y] : Painted()) EXPECT_LT(x, 8);
}

TEST_F(Rasterizer, AnchorsMoveTheTextFromItsGivenPoint) {
  UIS_CanvasSetForegroundColor(C(0x000000));
  UIS_CanvasSetBackgroundColor(C(0x00FF00, 0));
  UIS_CanvasDrawColorText(u"AA", 0, 2, P(100, 100), 8 | 32, dialog_);  // right, bottom
  EXPECT_EQ(sim::CanvasPixel(84, 84), 0x00FF00u);
  EXPECT_EQ(sim::CanvasPixel(99, 99), 0x00FF00u);
  EXPECT_EQ(sim::CanvasPixel(100, 100), kWhite);
  EXPECT_EQ(sim::CanvasPixel(83, 84), kWhite);
}

TEST_F(Rasterizer, FullArcStaysInsideItsBoxAndTouchesEachSide) {
  UIS_CanvasSetForegroundColor(C(0x000000));
  UIS_CanvasDrawArc(R(40, 50, 60, 70), 0, 360, 0, dialog_);
  auto painted = Painted();
  ASSERT_FALSE(painted.empty());
  for (auto [x, y] : painted) {
    EXPECT_GE(x, 40);
    EXPECT_LE(x, 60);
    EXPECT_GE(y, 50);
    EXPECT_LE(y, 70);
  }
  for (auto [x, y] : {std::pair{60, 60}, {50, 50}, {40, 60}, {50, 70}})
    EXPECT_EQ(sim::CanvasPixel(x, y), 0u) << x << "," << y;
  EXPECT_EQ(sim::CanvasPixel(50, 60), kWhite);  // the centre stays clear
}

TEST_F(Rasterizer, QuarterArcCoversOnlyItsQuadrant) {
  UIS_CanvasSetForegroundColor(C(0x000000));
  UIS_CanvasDrawArc(R(40, 50, 60, 70), 0, 90, 0, dialog_);  // from 3 o'clock up to 12
  for (auto [x, y] : Painted()) {
    EXPECT_GE(x, 50);
    EXPECT_LE(y, 60);
  }
  EXPECT_EQ(sim::CanvasPixel(60, 60), 0u);
  EXPECT_EQ(sim::CanvasPixel(50, 50), 0u);
}

TEST_F(Rasterizer, RoundRectKeepsItsStraightEdgesAndRoundsTheCorners) {
  UIS_CanvasSetForegroundColor(C(0x000000));
  UIS_CanvasDrawRoundRect(R(10, 20, 60, 50), 10, 10, 0, dialog_);
  for (auto [x, y] : {std::pair{35, 20}, {35, 50}, {10, 35}, {60, 35}})
    EXPECT_EQ(sim::CanvasPixel(x, y), 0u) << x << "," << y;
  EXPECT_EQ(sim::CanvasPixel(10, 20), kWhite);  // the corner itself is cut
  for (auto [x, y] : Painted()) {
    EXPECT_GE(x, 10);
    EXPECT_LE(x, 60);
    EXPECT_GE(y, 20);
    EXPECT_LE(y, 50);
  }
}

TEST_F(Rasterizer, DrawingOnADeletedOrUnknownCanvasIsLoggedAndDrawsNothing) {
  UIS_CanvasSetFillColor(C(0x000000));
  sim::internal::CanvasDelete(dialog_);
  EXPECT_FALSE(sim::CanvasExists());
  const uint32_t unknown = dialog_ + 1000;
  UIS_CanvasFillRect(R(0, 0, 175, 219), dialog_);
  UIS_CanvasDrawLine(P(0, 0), P(175, 219), unknown);
  UIS_CanvasDrawColorText(u"AAAA", 0, 4, P(0, 0), 20, unknown);
  EXPECT_TRUE(Painted().empty());
  ASSERT_EQ(sim::CanvasLogSize(), 5u);
  EXPECT_EQ(sim::CanvasLogAt(1).op, sim::CanvasOp::kDelete);
  EXPECT_EQ(sim::CanvasLogAt(2).op, sim::CanvasOp::kFillRect);
  EXPECT_EQ(sim::CanvasLogAt(2).dialog, dialog_);
  EXPECT_EQ(sim::CanvasLogAt(3).dialog, unknown);
}

TEST_F(Rasterizer, CreationFailsWhileFailuresArePendingThenSucceeds) {
  uint32_t port = 1;
  CanvasBuffer buffer = {nullptr, 176, 220};
  sim::FailCanvasCreation(2);
  EXPECT_EQ(UIS_CreateColorCanvas(&port, &buffer, 1), 0u);
  EXPECT_EQ(UIS_CreateColorCanvas(&port, &buffer, 1), 0u);
  const uint32_t handle = UIS_CreateColorCanvas(&port, &buffer, 1);
  EXPECT_NE(handle, 0u);
  EXPECT_NE(handle, dialog_);
  EXPECT_TRUE(sim::CanvasExists());
}

TEST_F(Rasterizer, DisplaySizeGivesTheLargestCoordinates) {
  EXPECT_EQ(UIS_CanvasGetDisplaySize(), (175u << 16) | 219u);
}

TEST_F(Rasterizer, LogRecordsTheColourInForceForEachDrawing) {
  UIS_CanvasSetFillColor(C(0x111111));
  UIS_CanvasSetForegroundColor(C(0x222222));
  UIS_CanvasFillRect(R(0, 0, 1, 1), dialog_);
  UIS_CanvasDrawLine(P(0, 0), P(1, 1), dialog_);
  UIS_CanvasDrawRect(R(0, 0, 1, 1), 0, dialog_);
  UIS_CanvasDrawColorText(u"a", 0, 1, P(0, 0), 20, dialog_);
  ASSERT_EQ(sim::CanvasLogSize(), 6u);
  const uint8_t expected[] = {0x11, 0x22, 0x11, 0x22, 0x22, 0x22};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(sim::CanvasLogAt(i).color.r, expected[i]) << i;
  EXPECT_EQ(sim::CanvasLogAt(99).op, sim::CanvasOp::kCreate);  // out of range reads an empty entry
}

TEST_F(Rasterizer, LogKeepsTheNewestCallsWhenFull) {
  for (int i = 0; i < 40000; ++i) UIS_CanvasDrawLine(P(i % 100, 0), P(0, 0), dialog_);
  const size_t size = sim::CanvasLogSize();
  EXPECT_LT(size, 40000u);
  EXPECT_GT(size, 1000u);
  EXPECT_EQ(sim::CanvasLogAt(size - 1).x1, 39999 % 100);
  EXPECT_EQ(sim::CanvasLogAt(size - 2).x1, 39998 % 100);
}

TEST(ScreenPng, Crc32IsTheZlibChecksumOfTheRows) {
  const uint8_t check[] = "123456789";
  EXPECT_EQ(sim::png::Crc32Rgb(check, 3, 1), 0xCBF43926u);
  EXPECT_EQ(sim::png::Crc32Rgb(check, 1, 3), 0xCBF43926u);
}

TEST_F(Rasterizer, FramebufferSurvivesAPngRoundTrip) {
  UIS_CanvasSetFillColor(C(0x4AB9ED));
  UIS_CanvasFillRect(R(0, 0, 60, 60), dialog_);
  UIS_CanvasSetForegroundColor(C(0x8000FF));
  UIS_CanvasDrawLine(P(0, 219), P(175, 0), dialog_);
  const std::string path = ::testing::TempDir() + "zq_roundtrip.png";
  std::string error;
  ASSERT_TRUE(sim::png::WriteFramebuffer(path.c_str(), &error)) << error;
  sim::png::Image image;
  ASSERT_TRUE(sim::png::ReadRgb(path.c_str(), &image, &error)) << error;
  ASSERT_EQ(image.width, 176);
  ASSERT_EQ(image.height, 220);
  EXPECT_EQ(std::memcmp(image.rgb.data(), sim::FramebufferRgb(), image.rgb.size()), 0);
  EXPECT_EQ(sim::png::Crc32Rgb(image.rgb.data(), 176, 220), sim::png::FramebufferCrc32());
  std::remove(path.c_str());
}

TEST(ScreenPng, ReadingAMissingOrBrokenFileFailsWithAReason) {
  sim::png::Image image;
  std::string error;
  EXPECT_FALSE(sim::png::ReadRgb("/nonexistent/zq.png", &image, &error));
  EXPECT_FALSE(error.empty());
  const std::string path = ::testing::TempDir() + "zq_broken.png";
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("not a png at all", f);
  std::fclose(f);
  error.clear();
  EXPECT_FALSE(sim::png::ReadRgb(path.c_str(), &image, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(image.width, 0);
  std::remove(path.c_str());
}

TEST_F(Rasterizer, PhoneScreensAreDistinctAndNotBlank) {
  sim::SetFront(sim::Front::kIdle);
  sim::DrawPhoneScreen();
  const uint32_t idle = sim::png::FramebufferCrc32();
  EXPECT_GT(Painted().size(), 176u * 100);
  sim::SetFront(sim::Front::kOther);
  sim::DrawPhoneScreen();
  const uint32_t other = sim::png::FramebufferCrc32();
  sim::SetVoiceCall(true);
  sim::DrawPhoneScreen();
  const uint32_t call = sim::png::FramebufferCrc32();
  sim::SetVoiceCall(false);
  EXPECT_NE(idle, other);
  EXPECT_NE(idle, call);
  EXPECT_NE(other, call);
  // The phone screens draw directly; the program's call log stays as it was.
  EXPECT_EQ(sim::CanvasLogSize(), 0u);
}

}  // namespace
