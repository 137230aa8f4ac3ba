// SPDX-License-Identifier: MIT
// The volume text with levels the stand-in's audio service never reports:
// this executable answers the volume read itself, so the widget can be shown
// a level of two or three digits, or a read that writes nothing.
#include <ostream>
#include <string>

#include "screen/widgets.h"
#include "tests/screen/screen_fixture.h"

namespace {

struct FakeVolume {
  bool writes;
  uint8_t level;
  uint8_t asked_type;
};
FakeVolume g_volume = {true, 0, 0xFF};

}  // namespace

// Takes the place of the stand-in's service for the program linked in here.
extern "C" uint32_t DL_AudGetVolumeSetting(uint8_t type, uint8_t* level) {
  g_volume.asked_type = type;
  if (g_volume.writes) *level = g_volume.level;
  return g_volume.writes ? 0 : 1;
}

namespace screen_test {
namespace {

struct DigitCase {
  bool writes;
  uint8_t level;
  std::u16string text;
  // The test's name in ctest says what the case is, not the struct's bytes.
  friend void PrintTo(const DigitCase& k, std::ostream* os) {
    *os << (k.writes ? "level " + std::to_string(k.level) : std::string("no level written"));
  }
};

class VolumeDigit : public ScreenTest, public ::testing::WithParamInterface<DigitCase> {};

TEST_P(VolumeDigit, KeepsOnlyTheFirstDigitWithoutWritingPastTheText) {
  const DigitCase& k = GetParam();
  g_volume = {k.writes, k.level, 0xFF};
  draw_vol();
  EXPECT_EQ(g_volume.asked_type, 2);
  auto texts = Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, k.text);
}

INSTANTIATE_TEST_SUITE_P(Levels, VolumeDigit,
                         ::testing::Values(DigitCase{true, 12, u"Vol:1"}, DigitCase{true, 10, u"Vol:1"},
                                           DigitCase{true, 255, u"Vol:2"}, DigitCase{true, 7, u"Vol:7"},
                                           DigitCase{false, 9, u"Vol:0"}),
                         [](const auto& info) {
                           return info.param.writes ? "level" + std::to_string(info.param.level)
                                                    : std::string("unread");
                         });

}  // namespace
}  // namespace screen_test
