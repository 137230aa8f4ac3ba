// SPDX-License-Identifier: MIT
// The firmware's 16-bit text routines, 8-bit name comparison and debug print.
#include "platform/strings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int Sign(int32_t v) {
  return (v > 0) - (v < 0);
}

TEST(TextRoutines, LengthCountsUnitsBeforeTheTerminator) {
  EXPECT_EQ(u_strlen(u""), 0u);
  EXPECT_EQ(u_strlen(u"abc"), 3u);
  EXPECT_EQ(u_strlen(u"\u6B4C\u8BCD"), 2u);
  const WCHAR embedded[] = {u'a', 0, u'b', 0};
  EXPECT_EQ(u_strlen(embedded), 1u);
}

TEST(TextRoutines, CopyAndAppendWriteTheTerminatorAndNoMore) {
  WCHAR buf[12];
  for (WCHAR& c : buf) c = 0x7777;
  EXPECT_EQ(u_strcpy(buf, u"ab"), buf);
  EXPECT_EQ(std::u16string(buf), u"ab");
  EXPECT_EQ(buf[3], 0x7777);
  EXPECT_EQ(u_strcat(buf, u"cd"), buf);
  EXPECT_EQ(u_strcat(buf, u""), buf);
  EXPECT_EQ(std::u16string(buf), u"abcd");
  EXPECT_EQ(buf[5], 0x7777);
  u_strcpy(buf, u"");
  EXPECT_EQ(buf[0], 0);
}

TEST(TextRoutines, ComparisonIsExactOnUnits) {
  struct Case {
    const char16_t* a;
    const char16_t* b;
    int expected;
  } cases[] = {
      {u"", u"", 0},      {u"abc", u"abc", 0},  {u"abc", u"abd", -1}, {u"abd", u"abc", 1},       {u"ab", u"abc", -1},
      {u"abc", u"ab", 1}, {u"MP3", u"mp3", -1}, {u"\uFFFE", u"a", 1}, {u"\u8BCD", u"\u6B4C", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(Sign(u_strcmp(c.a, c.b)), c.expected);
}

TEST(TextRoutines, BoundedComparisonStopsAfterTheGivenUnits) {
  struct Case {
    const char16_t* a;
    const char16_t* b;
    uint32_t units;
    int expected;
  } cases[] = {
      {u"/abc", u"/xyz", 1, 0}, {u"abc", u"abd", 2, 0}, {u"abc", u"abd", 3, -1},
      {u"ab", u"ab", 10, 0},    {u"ab", u"abc", 3, -1}, {u"x", u"y", 0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(Sign(u_strncmp(c.a, c.b, c.units)), c.expected) << c.units;
}

TEST(TextRoutines, UpperCaseChangesOnlyAsciiLetters) {
  WCHAR s[] = u"mp3.M4a-z{`\u00E9\u6B4C";
  EXPECT_EQ(u_strmakeupper(s), s);
  EXPECT_EQ(std::u16string(s), u"MP3.M4A-Z{`\u00E9\u6B4C");
}

TEST(TextRoutines, NumbersBecomeDecimalText) {
  struct Case {
    int64_t value;
    bool is_signed;
    const char16_t* text;
  } cases[] = {
      {0, true, u"0"},
      {7, true, u"7"},
      {-7, true, u"-7"},
      {2147483647, true, u"2147483647"},
      {-2147483648LL, true, u"-2147483648"},
      {0, false, u"0"},
      {10, false, u"10"},
      {4294967295LL, false, u"4294967295"},
  };
  for (const Case& c : cases) {
    WCHAR out[16];
    for (WCHAR& u : out) u = 0x7777;
    WCHAR* r = c.is_signed ? u_ltou((int32_t)c.value, out) : u_ultou((uint32_t)c.value, out);
    EXPECT_EQ(r, out);
    EXPECT_EQ(std::u16string(out), c.text) << c.value;
    EXPECT_EQ(out[std::u16string(c.text).size() + 1], 0x7777) << "wrote past the terminator";
  }
}

TEST(TextRoutines, ToEightBitTextKeepsTheLowByteOfEachUnit) {
  char out[8];
  EXPECT_EQ(u_utoa(u"Ab1\u0141", out), out);
  EXPECT_EQ(std::string(out), std::string("Ab1\x41"));
  EXPECT_EQ(u_utoa(u"", out), out);
  EXPECT_EQ(out[0], '\0');
}

TEST(TextRoutines, NameComparisonIsExactAndZeroOnlyWhenEqual) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  } cases[] = {
      {"LTE", "LTE", 0}, {"LTE", "lte", -1}, {"LTE2", "LTE", 1}, {"", "", 0}, {"\xC3", "a", 1}, {"a", "", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(Sign(namecmp(c.a, c.b)), c.expected) << c.a << " vs " << c.b;
}

TEST(DebugPrint, FormatsEachConversionToStandardError) {
  testing::internal::CaptureStderr();
  PFprintf("s=%s d=%d u=%u x=%x c=%c %% end\n", "txt", -42, 4000000000u, 0xBEEFu, 'Q');
  PFprintf("lone %");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "s=txt d=-42 u=4000000000 x=beef c=Q % end\nlone ");
}

}  // namespace
