// SPDX-License-Identifier: MIT
// The stand-in's own UTF-8 and UTF-16 conversion of names and driver texts.
#include <gtest/gtest.h>

#include <string>

#include "sim/internal.h"

namespace {

using sim::internal::Utf16ToUtf8;
using sim::internal::Utf8ToUtf16;

TEST(TextConversion, RoundTripsEveryPlane) {
  const char* texts[] = {"", "a.mp3", "\xE6\xAD\x8C\xE8\xAF\x8D.lrc", "\xC3\xA9t\xC3\xA9", "\xF0\x9F\x8E\xB5 x"};
  for (const char* t : texts) {
    WCHAR wide[64];
    Utf8ToUtf16(t, wide, 64);
    char back[128];
    size_t n = Utf16ToUtf8(wide, back, sizeof back);
    EXPECT_EQ(std::string(back, n), t);
  }
  WCHAR wide[8];
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x8E\xB5", wide, 8), 2u);
  EXPECT_EQ(wide[0], 0xD83C);
  EXPECT_EQ(wide[1], 0xDFB5);
}

TEST(TextConversion, MalformedInputBecomesReplacementCharacters) {
  struct Case {
    const char* in;
    std::u16string out;
  } cases[] = {
      {"\xFF", u"\uFFFD"},           {"a\xC3", u"a\uFFFD"},  // cut short by the terminator
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                         // overlong
      {"\xED\xA0\x80", u"\uFFFD"},                           // a surrogate written in UTF-8
      {"\xE6\xADx", u"\uFFFDx"},
  };
  for (const Case& c : cases) {
    WCHAR out[16];
    size_t n = Utf8ToUtf16(c.in, out, 16);
    EXPECT_EQ(std::u16string(out, n), c.out);
  }
  const WCHAR lone[] = {u'a', 0xDC00, u'b', 0xD800, 0};
  char out[32];
  EXPECT_EQ(std::string(out, Utf16ToUtf8(lone, out, sizeof out)),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
}

TEST(TextConversion, ShortOutputIsCutAtACharacterAndTerminated) {
  char small[4];
  EXPECT_EQ(Utf16ToUtf8(u"a\u6B4C", small, sizeof small), 1u);  // the 3-byte character does not fit
  EXPECT_EQ(std::string(small), "a");
  WCHAR wide[3];
  for (WCHAR& c : wide) c = 0x7777;
  EXPECT_EQ(Utf8ToUtf16("a\xF0\x9F\x8E\xB5", wide, 3), 1u);  // no half of a surrogate pair
  EXPECT_EQ(wide[1], 0);
  EXPECT_EQ(wide[2], 0x7777);
  EXPECT_EQ(Utf8ToUtf16("abc", wide, 0), 0u);
  EXPECT_EQ(wide[0], u'a');
}

}  // namespace
