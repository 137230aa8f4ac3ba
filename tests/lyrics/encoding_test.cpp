// SPDX-License-Identifier: MIT
// Encoding detection and the four converters: their output, what they drop,
// and that none of them reads past its input or writes past its room.
#include "lyrics/encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lyrics_fixture.h"

namespace lyrics_test {
namespace {

struct DetectCase {
  const char* name;
  Bytes bytes;
  uint8_t code;
};

void PrintTo(const DetectCase& c, std::ostream* os) {
  *os << c.name;
}

class DetectTest : public ::testing::TestWithParam<DetectCase> {};

TEST_P(DetectTest, GivesTheCodeOfTheMarkPresentInFull) {
  const DetectCase& c = GetParam();
  // An exact-size copy: reading a byte past it is caught by the sanitizer.
  std::vector<uint8_t> exact(c.bytes);
  EXPECT_EQ(GetCodeType(exact.empty() ? nullptr : exact.data(), (uint16_t)exact.size()), c.code);
}

INSTANTIATE_TEST_SUITE_P(Cases, DetectTest,
                         ::testing::Values(DetectCase{"NoBytes", {}, kCodeNoText},
                                           DetectCase{"OneZeroByte", {0x00}, kCodeGB2312},
                                           DetectCase{"OneByte", {0x41}, kCodeGB2312},
                                           DetectCase{"TwoZeros", {0x00, 0x00, 0x41}, kCodeNoText},
                                           DetectCase{"ZeroThenLetter", {0x00, 0x41}, kCodeGB2312},
                                           DetectCase{"Utf16LeMark", {0xFF, 0xFE}, kCodeUtf16Le},
                                           DetectCase{"Utf16BeMark", {0xFE, 0xFF, 0x00, 0x41}, kCodeUtf16Be},
                                           DetectCase{"Utf8Mark", {0xEF, 0xBB, 0xBF}, kCodeUtf8},
                                           DetectCase{"Utf8MarkCutToTwo", {0xEF, 0xBB}, kCodeGB2312},
                                           DetectCase{"Utf8MarkWrongThird", {0xEF, 0xBB, 0x41}, kCodeGB2312},
                                           DetectCase{"Utf8WithoutMark", {0xE4, 0xB8, 0xAD}, kCodeGB2312}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DetectNull, NullBufferIsNoText) {
  EXPECT_EQ(GetCodeType(nullptr, 10), kCodeNoText);
}

using Converter = uint16_t (*)(WCHAR*, const uint8_t*, uint16_t);

// Runs a converter on an exact-size copy of the input into a buffer of
// exactly `room` units followed by guard units that must stay untouched.
std::u16string Convert(Converter convert, const Bytes& input, size_t room) {
  constexpr WCHAR kGuard = 0xB00B;
  std::vector<uint8_t> exact(input);
  std::vector<WCHAR> out(room + 4, kGuard);
  uint16_t n = convert(out.data(), exact.empty() ? nullptr : exact.data(), (uint16_t)exact.size());
  EXPECT_LE(n, room);
  for (size_t k = room; k < out.size(); ++k) EXPECT_EQ(out[k], kGuard) << "written past the room at " << k;
  return std::u16string(out.data(), n);
}

struct ConvertCase {
  const char* name;
  Bytes in;
  std::u16string out;
};

void PrintTo(const ConvertCase& c, std::ostream* os) {
  *os << c.name;
}

class Utf8Test : public ::testing::TestWithParam<ConvertCase> {};
TEST_P(Utf8Test, DecodesAndDropsWhatItCannotUse) {
  const ConvertCase& c = GetParam();
  EXPECT_EQ(Convert(UTF8ToUBE, c.in, c.in.size()), c.out);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Test,
    ::testing::Values(ConvertCase{"MarkAndChinese", {0xEF, 0xBB, 0xBF, 0xE4, 0xB8, 0xAD}, u"\uFEFF\u4E2D"},
                      ConvertCase{"TwoByteForm", {0xC3, 0xA9, 0x41}, u"\u00E9A"},
                      ConvertCase{"OverlongDecodedAsItStands", {0xC0, 0x80, 0x41}, std::u16string(u"\u0000A", 2)},
                      ConvertCase{"LoneContinuationDropped", {0x80, 0xBF, 0x41}, u"A"},
                      ConvertCase{"FourByteFormVanishes", {0xF0, 0x9F, 0x98, 0x80, 0x41}, u"A"},
                      ConvertCase{"ContinuationNotValidated", {0xC3, 0x41, 0x42}, u"\u00C1B"},
                      ConvertCase{"TwoByteLeadCutByTheEnd", {0x41, 0xC3}, u"A"},
                      ConvertCase{"ThreeByteLeadCutByTheEnd", {0x41, 0xE4, 0xB8}, u"A"},
                      ConvertCase{"ThreeByteLeadCutAfterOne", {0x41, 0xE4}, u"A"},
                      ConvertCase{"CutLeadThenAsciiReadAfresh", {0xE4, 0x41}, u"A"}, ConvertCase{"Empty", {}, u""},
                      // Runs longer than a machine word, ending inside one, at its edge and at the end.
                      ConvertCase{"AsciiRunsAcrossWords",
                                  Raw("ABCDEFGHIJK\xE4\xB8\xADLMNOPQRSTUVWXYZ0\xC3\xA9"
                                      "12345678\x80"
                                      "9abcdefghij"),
                                  u"ABCDEFGHIJK\u4E2DLMNOPQRSTUVWXYZ0\u00E9"
                                  u"123456789abcdefghij"}),
    [](const auto& info) { return std::string(info.param.name); });

class Utf16Test : public ::testing::TestWithParam<ConvertCase> {};
TEST_P(Utf16Test, LittleAndBigEndianGiveTheSameUnits) {
  const ConvertCase& c = GetParam();
  Bytes swapped(c.in);
  for (size_t k = 0; k + 1 < swapped.size(); k += 2) std::swap(swapped[k], swapped[k + 1]);
  EXPECT_EQ(Convert(ULEToUBE, c.in, (c.in.size() + 1) / 2), c.out);
  EXPECT_EQ(Convert(UBEToUBE, swapped, (swapped.size() + 1) / 2), c.out);
}
INSTANTIATE_TEST_SUITE_P(Cases, Utf16Test,
                         ::testing::Values(ConvertCase{"MarkAndLetter", {0xFF, 0xFE, 0x41, 0x00}, u"\uFEFFA"},
                                           ConvertCase{"LoneSurrogateKept",
                                                       {0x00, 0xD8, 0x41, 0x00},
                                                       u"\xD800"
                                                       u"A"},
                                           ConvertCase{"ZeroUnitKept", {0x00, 0x00}, std::u16string(1, u'\0')},
                                           ConvertCase{"OddLastByteDropped", {0x41, 0x00, 0x42}, u"A"},
                                           ConvertCase{"SingleByte", {0x41}, u""}),
                         [](const auto& info) { return std::string(info.param.name); });

class Gb2312Test : public LyricsTest, public ::testing::WithParamInterface<ConvertCase> {};
TEST_P(Gb2312Test, WritesTheMarkThenTheTablesUnits) {
  const ConvertCase& c = GetParam();
  EXPECT_EQ(Convert(GBToUBE, c.in, c.in.size() + 1), c.out);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, Gb2312Test,
    ::testing::Values(ConvertCase{"AsciiAndLineEnds", {0x41, 0x42, 0x0D, 0x0A}, u"\uFEFFAB\r\n"},
                      ConvertCase{"TabAndNulDropped", {0x41, 0x09, 0x00, 0x42}, u"\uFEFFAB"},
                      ConvertCase{"HighBytesBelowA1PassThrough", {0x80, 0xA0}, u"\uFEFF\u0080\u00A0"},
                      ConvertCase{"FirstCell", {0xA1, 0xA1}, u"\uFEFF\u3000"},
                      ConvertCase{"FirstCellOfLeadB0", {0xB0, 0xA1}, u"\uFEFF\u554A"},
                      ConvertCase{"LastCell", {0xF7, 0xFE}, u"\uFEFF\u9F44"},
                      ConvertCase{"LeadF8DroppedAndFollowerReadAfresh", {0xF8, 0xA1, 0xA1}, u"\uFEFF\u3000"},
                      ConvertCase{"LeadBeforeFirstRowDropped", {0xA1, 0x41}, u"\uFEFFA"},
                      ConvertCase{"LeadAsLastByteDropped", {0x41, 0xB0}, u"\uFEFFA"},
                      ConvertCase{"Empty", {}, u"\uFEFF"},
                      // Runs longer than a machine word, ending inside one, at its edge and at the end.
                      ConvertCase{"PlainRunsAcrossWords",
                                  Raw("ABCDEFG\r\nHIJKLMNOPQ\xB0\xA1RSTUVWXYZ0123\xA0 \x1F"
                                      "abcdefgh\t"
                                      "ijklmnopq"),
                                  u"\uFEFFABCDEFG\r\nHIJKLMNOPQ\u554ARSTUVWXYZ0123\u00A0 abcdefghijklmnopq"}),
    [](const auto& info) { return std::string(info.param.name); });

// Lead bytes AA to AF and odd trail bytes fall where the formula puts them.
TEST_F(LyricsTest, Gb2312CellsOutsideTheRowsFallWhereTheFormulaPutsThem) {
  struct Case {
    uint8_t lead, trail;
    uint32_t entry;
  };
  const Case cases[] = {{0xAA, 0xA1, 3 * 94}, {0xAF, 0xFE, 8 * 94 + 93}, {0xB0, 0xA0, 8 * 94 + 93},
                        {0xA1, 0xFF, 94},     {0xB0, 0xFE, 9 * 94 + 93}, {0xD7, 0xFA, 48 * 94 + 89}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    EXPECT_EQ(Convert(GBToUBE, {c.lead, c.trail}, 3), (std::u16string{0xFEFF, (char16_t)TableEntry(c.entry)}));
  }
}

TEST_F(LyricsTest, Gb2312TextRoundTripsThroughTheTable) {
  std::u16string text = u"[00:01.00]静夜思 床前明月光\r\n";
  EXPECT_EQ(Convert(GBToUBE, Gb2312(text), Gb2312(text).size() + 1), u"\uFEFF" + text);
}

#ifdef PATCH
TEST_F(LyricsTest, Gb2312WithTheTableInFirmwareMemoryNeedsNoFileAndNoMemory) {
  Folder().Remove("ELF/gb2uc.map");
  uint32_t allocations = sim::GetMemoryStats().allocations;
  sim::FailAllocation(1);
  EXPECT_EQ(Convert(GBToUBE, {0xB0, 0xA1}, 3), u"\uFEFF\u554A");
  EXPECT_EQ(sim::GetMemoryStats().allocations, allocations);
}
#else
TEST_F(LyricsTest, Gb2312WithoutItsTableFileWritesNothing) {
  Folder().Remove("ELF/gb2uc.map");
  EXPECT_EQ(Convert(GBToUBE, {0x41, 0xB0, 0xA1}, 4), u"");
}

TEST_F(LyricsTest, Gb2312WithAShortTableFileWritesNothing) {
  Bytes short_table(TableBytes().begin(), TableBytes().end() - 1);
  Folder().Write("ELF/gb2uc.map", short_table);
  EXPECT_EQ(Convert(GBToUBE, {0x41}, 2), u"");
}

TEST_F(LyricsTest, Gb2312WithoutMemoryForTheTableWritesNothing) {
  sim::FailAllocation(1);
  EXPECT_EQ(Convert(GBToUBE, {0x41}, 2), u"");
}

TEST_F(LyricsTest, Gb2312ReadsTheTableFileAfreshOnEveryCall) {
  EXPECT_EQ(Convert(GBToUBE, {0xB0, 0xA1}, 3), u"\uFEFF\u554A");
  Bytes altered(TableBytes());
  altered[2 * 846] = 0x34;
  altered[2 * 846 + 1] = 0x12;
  Folder().Write("ELF/gb2uc.map", altered);
  EXPECT_EQ(Convert(GBToUBE, {0xB0, 0xA1}, 3), u"\uFEFF\u1234");
}
#endif

}  // namespace
}  // namespace lyrics_test
