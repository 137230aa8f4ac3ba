// SPDX-License-Identifier: MIT
// The status widgets: their texts, positions, colours and the progress bar.
#include "screen/widgets.h"

#include "screen/canvas.h"
#include "tests/screen/screen_fixture.h"

namespace screen_test {
namespace {

using sim::CanvasOp;

const CanvasColor kBlack = {0, 0, 0, 0};
const CanvasColor kWhite = {0xFF, 0xFF, 0xFF, 0};
const CanvasColor kPlayed = {0x80, 0x00, 0xFF, 0};
#ifdef BLUE
const CanvasColor kRest = {0x61, 0xBC, 0xEA, 0};
#else
const CanvasColor kRest = {0xFF, 0xFF, 0xFF, 0};
#endif

using Widgets = ScreenTest;

struct Sec2MinCase {
  uint32_t seconds;
  std::u16string text;
};

class Sec2Min : public ::testing::TestWithParam<Sec2MinCase> {};

TEST_P(Sec2Min, WritesAtLeastTwoMinuteDigitsAndExactlyTwoSecondDigits) {
  const Sec2MinCase& k = GetParam();
  WCHAR out[16 + 4];
  for (auto& u : out) u = 0xBEEF;
  sec2min(k.seconds, out);
  EXPECT_EQ(std::u16string(out), k.text);
  // Nothing beyond the 16 units of a time text is touched.
  for (size_t i = 16; i < 20; ++i) EXPECT_EQ(out[i], 0xBEEF) << i;
}

INSTANTIATE_TEST_SUITE_P(Seconds, Sec2Min,
                         ::testing::Values(Sec2MinCase{0, u"00:00"}, Sec2MinCase{65, u"01:05"},
                                           Sec2MinCase{599, u"09:59"}, Sec2MinCase{600, u"10:00"},
                                           Sec2MinCase{3600, u"60:00"}, Sec2MinCase{6000, u"100:00"},
                                           Sec2MinCase{227, u"03:47"}, Sec2MinCase{4294967295u, u"71582788:15"}));

struct TimeCase {
  uint32_t position, duration;
  std::u16string text;
};

class TimeWidget : public ScreenTest, public ::testing::WithParamInterface<TimeCase> {};

TEST_P(TimeWidget, DrawsElapsedSlashTotalInBlackAt6And60) {
  const TimeCase& k = GetParam();
  player.timePosition = k.position;
  player.timeDuraction = k.duration;
  draw_time();
  ExpectTexts(Texts(), {{k.text, 6, 60, kBlack}});
}

INSTANTIATE_TEST_SUITE_P(Times, TimeWidget,
                         ::testing::Values(TimeCase{0, 227, u"00:00/03:47"}, TimeCase{65, 6000, u"01:05/100:00"},
                                           TimeCase{4294967295u, 4294967295u, u"71582788:15/71582788:15"}));

struct NumCase {
  uint16_t cur, count;
  std::u16string text;
};

class NumberWidget : public ScreenTest, public ::testing::WithParamInterface<NumCase> {};

TEST_P(NumberWidget, ShowsTheOneBasedTrackAndTheCount) {
  const NumCase& k = GetParam();
  player.cur = k.cur;
  player.count = k.count;
  const auto before = sim::GetMemoryStats();
  draw_num();
  ExpectTexts(Texts(), {{k.text, 6, 40, kBlack}});
  // The text buffer goes back to the firmware.
  EXPECT_EQ(sim::GetMemoryStats().live_blocks, before.live_blocks);
  EXPECT_EQ(sim::GetMemoryStats().bad_frees, before.bad_frees);
}

INSTANTIATE_TEST_SUITE_P(Numbers, NumberWidget,
                         ::testing::Values(NumCase{0, 1, u"1/1"}, NumCase{9, 12, u"10/12"}, NumCase{2, 12, u"3/12"},
                                           NumCase{0, 0, u"1/0"}, NumCase{65535, 9, u"65536/9"},
                                           NumCase{65534, 65535, u"65535/65535"}));

TEST_F(Widgets, NumberWithoutMemoryPaintsTheAreaAndDrawsNoText) {
  player.cur = 2;
  player.count = 12;
  sim::FailAllocation(1);
  draw_num();
  EXPECT_TRUE(Texts().empty());
#ifdef BLUE
  auto fills = CallsOf(CanvasOp::kFillRect);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].x2, 120);
  EXPECT_EQ(fills[0].y2, 59);
#else
  EXPECT_EQ(CallsOf(CanvasOp::kDrawLine).size(), 121u);
#endif
}

struct BarCase {
  const char* name;
  uint32_t position, duration;
  // Expected fills: played columns 6..played_to (none if < 6), rest from rest_from..169 (none if > 169).
  int played_to;
  int rest_from;
};

class ProgressBar : public ScreenTest, public ::testing::WithParamInterface<BarCase> {};

TEST_P(ProgressBar, CoversTheInnerColumnsExactlyWithPlayedThenRest) {
  const BarCase& k = GetParam();
  player.timePosition = k.position;
  player.timeDuraction = k.duration;
  draw_bar_all();
  ClearLog();
  draw_bar();
  auto calls = Calls();
  std::vector<sim::CanvasCall> fills = CallsOf(CanvasOp::kFillRect);
  size_t next = 0;
  if (k.played_to >= 6) {
    ASSERT_LT(next, fills.size()) << k.name;
    EXPECT_TRUE(SameColor(fills[next].color, kPlayed)) << k.name;
    ExpectCorners(fills[next], 6, 83, k.played_to, 93);
    ++next;
  }
  if (k.rest_from <= 169) {
    ASSERT_LT(next, fills.size()) << k.name;
    EXPECT_TRUE(SameColor(fills[next].color, kRest)) << k.name;
    ExpectCorners(fills[next], k.rest_from, 83, 169, 93);
    ++next;
  }
  EXPECT_EQ(fills.size(), next) << k.name;
  // The frame stays whole: the bar never paints its columns 5 and 170.
  for (int y = 82; y <= 94; ++y) {
    EXPECT_EQ(sim::CanvasPixel(5, y), 0x000000u) << k.name << " row " << y;
    EXPECT_EQ(sim::CanvasPixel(170, y), 0x000000u) << k.name << " row " << y;
  }
  const uint32_t rest_rgb = (uint32_t)kRest.r << 16 | (uint32_t)kRest.g << 8 | kRest.b;
  EXPECT_EQ(sim::CanvasPixel(6, 88), k.played_to >= 6 ? 0x8000FFu : rest_rgb) << k.name;
  EXPECT_EQ(sim::CanvasPixel(169, 88), k.rest_from <= 169 ? rest_rgb : 0x8000FFu) << k.name;
}

INSTANTIATE_TEST_SUITE_P(Extremes, ProgressBar,
                         ::testing::Values(BarCase{"start", 0, 200, 5, 6}, BarCase{"end", 200, 200, 169, 170},
                                           BarCase{"one of two hundred", 1, 200, 5, 6},
                                           BarCase{"half", 100, 200, 87, 88},
                                           BarCase{"beyond the length is clamped", 400, 200, 169, 170},
                                           BarCase{"unknown length shows the rest only", 30, 0, 5, 6},
                                           BarCase{"very long track", 4000000000u, 4294967295u, 157, 158},
                                           BarCase{"one column short of full", 163, 164, 168, 169}),
                         CaseName());

TEST_F(Widgets, BarBandIsPaintedThenFramedInBlack) {
  draw_bar_all();
  auto rects = CallsOf(CanvasOp::kDrawRect);
  ASSERT_EQ(rects.size(), 1u);
  ExpectCorners(rects[0], 5, 82, 170, 94);
  EXPECT_EQ(rects[0].a, 0u);
  EXPECT_TRUE(SameColor(rects[0].color, kBlack));
#ifdef BLUE
  auto fills = CallsOf(CanvasOp::kFillRect);
  ASSERT_EQ(fills.size(), 1u);
  ExpectCorners(fills[0], 0, 80, 176, 99);
#else
  auto lines = CallsOf(CanvasOp::kDrawLine);
  ASSERT_EQ(lines.size(), 176u);
  EXPECT_EQ(lines.back().x1, 175);
#endif
}

struct NameCase {
  std::u16string filename;
  std::u16string shown;
};

class NameWidget : public ScreenTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(NameWidget, ShowsTheNameInBlackOverAWhiteCopy) {
  const NameCase& k = GetParam();
  std::copy(k.filename.begin(), k.filename.end(), player.filename);
  player.filename[k.filename.size()] = 0;
  draw_name();
  ExpectTexts(Texts(), {{k.shown, 6, 21, kWhite}, {k.shown, 5, 20, kBlack}});
}

INSTANTIATE_TEST_SUITE_P(Names, NameWidget,
                         ::testing::Values(NameCase{u"file://b/mobile/audio/春晓.mp3", u"春晓.mp3"},
                                           NameCase{u"file://b/a.mp3", u"a.mp3"},
                                           NameCase{u"no_separator.mp3", u"no_separator.mp3"}));

TEST_F(Widgets, PlayModeShowsItsLabelAt126And40) {
  const std::u16string labels[] = {u"单一", u"重复", u"顺序"};
  for (uint8_t mode = 0; mode < 3; ++mode) {
    ClearLog();
    player.circle_s = mode;
    draw_circle_s();
    ExpectTexts(Texts(), {{labels[mode], 126, 40, kBlack}});
  }
}

struct VolumeCase {
  const char* platform;
  uint8_t type;
  uint8_t level;
  std::u16string text;
};

class VolumeWidget : public ScreenTest, public ::testing::WithParamInterface<VolumeCase> {};

TEST_P(VolumeWidget, ShowsTheFirstDigitOfTheLevelOfThePlatformsVolumeType) {
  const VolumeCase& k = GetParam();
  sim::SetPlatformName(k.platform);
  sim::SetVolume(2, 1);
  sim::SetVolume(4, 6);
  sim::SetVolume(k.type, k.level);
  draw_vol();
  ExpectTexts(Texts(), {{k.text, 126, 60, kBlack}});
}

INSTANTIATE_TEST_SUITE_P(Levels, VolumeWidget,
                         ::testing::Values(VolumeCase{"ZQ", 2, 5, u"Vol:5"}, VolumeCase{"LTE", 4, 3, u"Vol:3"},
                                           VolumeCase{"ZQ", 2, 0, u"Vol:0"}, VolumeCase{"LTE2", 2, 7, u"Vol:7"}));

#ifndef BLUE
TEST_F(Widgets, ColumnRangesOfTheColourWheelTheme) {
  struct {
    const char* name;
    void (*draw)();
    int first, last, top, bottom;
  } cases[] = {{"name", draw_name, 0, 175, 20, 39},       {"number", draw_num, 0, 120, 40, 59},
               {"mode", draw_circle_s, 126, 176, 40, 59}, {"time", draw_time, 0, 125, 60, 79},
               {"volume", draw_vol, 126, 175, 60, 79},    {"bar band", draw_bar_all, 0, 175, 80, 99}};
  for (const auto& k : cases) {
    ClearLog();
    k.draw();
    auto lines = CallsOf(CanvasOp::kDrawLine);
    ASSERT_EQ(lines.size(), (size_t)(k.last - k.first + 1)) << k.name;
    EXPECT_EQ(lines.front().x1, k.first) << k.name;
    EXPECT_EQ(lines.back().x1, k.last) << k.name;
    for (const auto& l : lines) {
      EXPECT_EQ(l.x1, l.x2) << k.name;
      EXPECT_EQ(l.y1, k.top) << k.name;
      EXPECT_EQ(l.y2, k.bottom) << k.name;
    }
  }
}
#endif

}  // namespace
}  // namespace screen_test
