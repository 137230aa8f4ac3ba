// SPDX-License-Identifier: MIT
// The lyrics record: its empty state, its destruction and the order of its
// time entries.
#include "lyrics/record.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "lyrics_fixture.h"

namespace lyrics_test {
namespace {

using RecordTest = LyricsTest;

TEST_F(RecordTest, NewRecordHoldsFourEmptyStringsAndNoArrays) {
  LRC* lrc = INIT_LRC();
  ASSERT_NE(lrc, nullptr);
  for (const WCHAR* field : {lrc->ti, lrc->ar, lrc->al, lrc->by}) {
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field[0], 0);
  }
  EXPECT_EQ(lrc->offset, 0);
  EXPECT_EQ(lrc->time_count, 0);
  EXPECT_EQ(lrc->line_count, 0);
  EXPECT_EQ(lrc->times, nullptr);
  EXPECT_EQ(lrc->lines, nullptr);
  DESTROY_LRC(&lrc);
  EXPECT_EQ(lrc, nullptr);
}

TEST_F(RecordTest, DestroyingTwiceFreesOnceAndLeavesTheHolderNull) {
  LRC* lrc = INIT_LRC();
  ASSERT_NE(lrc, nullptr);
  uint32_t bad_before = sim::GetMemoryStats().bad_frees;
  DESTROY_LRC(&lrc);
  DESTROY_LRC(&lrc);
  EXPECT_EQ(lrc, nullptr);
  EXPECT_EQ(sim::GetMemoryStats().bad_frees, bad_before);
}

TEST_F(RecordTest, EachFailedAllocationOfANewRecordGivesNullAndLeavesNothing) {
  // The record itself and its four strings: five allocations.
  for (uint32_t nth = 1; nth <= 5; ++nth) {
    SCOPED_TRACE(nth);
    uint32_t before = LiveBlocks();
    sim::FailAllocation(nth);
    EXPECT_EQ(INIT_LRC(), nullptr);
    EXPECT_EQ(LiveBlocks(), before);
  }
  sim::FailAllocation(6);
  LRC* lrc = INIT_LRC();
  EXPECT_NE(lrc, nullptr);
  DESTROY_LRC(&lrc);
}

TEST_F(RecordTest, DestroyFreesLinesWhoseTextsWereNeverMade) {
  LRC* lrc = INIT_LRC();
  ASSERT_NE(lrc, nullptr);
  lrc->line_count = 3;
  lrc->lines = (LRC_LINE*)suAllocMem(3 * sizeof(LRC_LINE), nullptr);
  lrc->lines[0].text = (WCHAR*)suAllocMem(2, nullptr);
  lrc->lines[1].text = nullptr;
  lrc->lines[2].text = nullptr;
  DESTROY_LRC(&lrc);
  EXPECT_EQ(lrc, nullptr);
}

struct SortCase {
  const char* name;
  std::vector<std::pair<uint32_t, uint16_t>> in, out;
};

void PrintTo(const SortCase& c, std::ostream* os) {
  *os << c.name;
}

class SortTest : public ::testing::TestWithParam<SortCase> {};

TEST_P(SortTest, LeavesTheEntriesInTheExchangeSortsExactOrderAndSoDoesTheCopy) {
  const SortCase& c = GetParam();
  std::vector<LRC_TIME> entries;
  for (const auto& [time, line] : c.in) entries.push_back({time, line});
  entries.push_back({0xDEADBEEF, 0xBEEF});  // one past the count: must stay
  EXPECT_EQ(LRC_SortByTime(entries.data(), (uint16_t)c.in.size()), 0u);
  std::vector<std::pair<uint32_t, uint16_t>> got;
  for (size_t k = 0; k < c.in.size(); ++k) got.emplace_back(entries[k].time, entries[k].line);
  EXPECT_EQ(got, c.out);
  EXPECT_EQ(entries.back().time, 0xDEADBEEFu);
  EXPECT_EQ(entries.back().line, 0xBEEF);
  // The parser's copy into the record sorts on the way, to the same order.
  std::vector<LRC_TIME> copy(c.in.size());
  for (size_t k = 0; k < c.in.size(); ++k) copy[k] = {c.in[k].first, c.in[k].second};
  CopyInTimeOrder(copy.data(), std::vector<LRC_TIME>(copy).data(), (uint16_t)copy.size());
  for (size_t k = 0; k < c.in.size(); ++k) EXPECT_EQ(std::make_pair(copy[k].time, copy[k].line), c.out[k]);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SortTest,
    ::testing::Values(
        SortCase{"Empty", {}, {}}, SortCase{"One", {{7, 3}}, {{7, 3}}},
        SortCase{"ThreeOutOfOrder", {{30, 0}, {10, 1}, {20, 2}}, {{10, 1}, {20, 2}, {30, 0}}},
        // Not stable: the exchange with (3, c) carries (5, a) behind (5, b).
        SortCase{"EqualTimesUnstable", {{5, 0}, {5, 1}, {3, 2}}, {{3, 2}, {5, 1}, {5, 0}}},
        SortCase{"EqualTimesAlreadyInOrderStay", {{1, 0}, {5, 1}, {5, 2}}, {{1, 0}, {5, 1}, {5, 2}}},
        SortCase{"UnsignedComparison",
                 {{0xFFFFFFFF, 0}, {0x80000000, 1}, {0, 2}},
                 {{0, 2}, {0x80000000, 1}, {0xFFFFFFFF, 0}}},
        SortCase{"Descending", {{4, 0}, {3, 1}, {2, 2}, {1, 3}, {0, 4}}, {{0, 4}, {1, 3}, {2, 2}, {3, 1}, {4, 0}}},
        // Lines with several times (entries of one line follow each other).
        SortCase{"ChorusTimesMergeIn",
                 {{10, 0}, {50, 0}, {90, 0}, {14, 1}, {56, 1}, {20, 2}, {60, 3}, {95, 4}},
                 {{10, 0}, {14, 1}, {20, 2}, {50, 0}, {56, 1}, {60, 3}, {90, 0}, {95, 4}}},
        SortCase{"ChorusTimeEqualToALaterLine",
                 {{10, 0}, {30, 0}, {20, 1}, {30, 2}, {40, 3}},
                 {{10, 0}, {20, 1}, {30, 0}, {30, 2}, {40, 3}}},
        SortCase{
            "ChorusTimesEqualToEachOther", {{10, 0}, {30, 0}, {20, 1}, {30, 1}}, {{10, 0}, {20, 1}, {30, 0}, {30, 1}}},
        SortCase{"ChorusTimeBeforeItsLine", {{10, 0}, {5, 0}, {20, 1}}, {{5, 0}, {10, 0}, {20, 1}}}),
    [](const ::testing::TestParamInfo<SortCase>& info) { return std::string(info.param.name); });

// The exchange sort written out plainly, as the order of equal times is defined.
void ReferenceExchangeSort(std::vector<LRC_TIME>& entries) {
  for (size_t i = 0; i + 1 < entries.size(); ++i) {
    for (size_t j = i + 1; j < entries.size(); ++j) {
      if (entries[i].time > entries[j].time) std::swap(entries[i], entries[j]);
    }
  }
}

TEST(SortLimits, ManyEqualTimesEndExactlyAsThePlainExchangeSortLeavesThem) {
  // Few distinct times among many entries, so that equal times meet often.
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    uint32_t state = seed;
    auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
    uint32_t count = next() % (LRC_MAX_TIMES + 61);  // past the parser's limit too
    uint32_t distinct = 1 + next() % 8;
    std::vector<LRC_TIME> entries;
    for (uint32_t k = 0; k < count; ++k) {
      uint32_t time = next() % distinct;
      entries.push_back({time == 7 ? 0xFFFFFFFFu : time, (uint16_t)k});
    }
    std::vector<LRC_TIME> want = entries;
    ReferenceExchangeSort(want);
    LRC_SortByTime(entries.data(), (uint16_t)entries.size());
    for (size_t k = 0; k < entries.size(); ++k) {
      ASSERT_EQ(entries[k].time, want[k].time) << "seed " << seed << " entry " << k;
      ASSERT_EQ(entries[k].line, want[k].line) << "seed " << seed << " entry " << k;
    }
  }
}

TEST(SortLimits, CopyingInTimeOrderMatchesTheSortOnSongsOfRepeatedLines) {
  // Distinct or few times, lines of one to three times each.
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    uint32_t state = seed;
    auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
    uint32_t count = next() % (LRC_MAX_TIMES + 1);
    uint32_t spread = seed % 2 == 0 ? 100000 : 8;
    std::vector<LRC_TIME> from;
    for (uint16_t line = 0; from.size() < count; ++line) {
      uint32_t base = line * 20 + next() % 12;
      for (uint32_t t = 0, tags = 1 + next() % 3; t < tags && from.size() < count; ++t) {
        from.push_back({t == 0 ? base % (spread * 10) : next() % (spread * 10), line});
      }
    }
    std::vector<LRC_TIME> want = from, got(count);
    LRC_SortByTime(want.data(), (uint16_t)count);
    CopyInTimeOrder(got.data(), from.data(), (uint16_t)count);
    for (size_t k = 0; k < count; ++k) {
      ASSERT_EQ(got[k].time, want[k].time) << "seed " << seed << " entry " << k;
      ASSERT_EQ(got[k].line, want[k].line) << "seed " << seed << " entry " << k;
    }
  }
}

TEST(SortLimits, TwoHundredEntriesSortAscending) {
  std::vector<LRC_TIME> entries;
  for (uint32_t k = 0; k < LRC_MAX_TIMES; ++k) entries.push_back({(k * 7919u) % 1000u, (uint16_t)k});
  LRC_SortByTime(entries.data(), (uint16_t)entries.size());
  for (size_t k = 1; k < entries.size(); ++k) EXPECT_LE(entries[k - 1].time, entries[k].time) << k;
}

}  // namespace
}  // namespace lyrics_test
