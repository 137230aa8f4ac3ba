// SPDX-License-Identifier: MIT
// The firmware's runtime: copying, clearing and division without traps.
#include "platform/runtime.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

TEST(RuntimeDivision, UnsignedDivisionTakesTheDivisorFirst) {
  struct Case {
    uint32_t divisor, dividend, quotient;
  } cases[] = {
      {10, 100, 10}, {3, 10, 3},    {1, 0xFFFFFFFFu, 0xFFFFFFFFu}, {0xFFFFFFFFu, 0xFFFFFFFEu, 0}, {7, 7, 1},
      {2, 1, 0},     {0, 12345, 0},  // a zero divisor gives 0, no trap
  };
  for (const Case& c : cases) EXPECT_EQ(__rt_udiv(c.divisor, c.dividend), c.quotient) << c.dividend << "/" << c.divisor;
}

TEST(RuntimeDivision, ByTenRoundsTowardZero) {
  struct Case {
    int64_t value, quotient;
  } cases[] = {{0, 0}, {9, 0}, {10, 1}, {-9, 0}, {-10, -1}, {-19, -1}, {INT32_MAX, 214748364}, {INT32_MIN, -214748364}};
  for (const Case& c : cases) EXPECT_EQ(__rt_sdiv10((int32_t)c.value), c.quotient) << c.value;
  EXPECT_EQ(__rt_udiv10(0xFFFFFFFFu), 429496729u);
  EXPECT_EQ(__rt_udiv10(99u), 9u);
}

TEST(RuntimeCopy, CopiesExactlyTheGivenBytes) {
  unsigned char src[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  unsigned char dst[10];
  std::memset(dst, 0xEE, sizeof dst);
  EXPECT_EQ(__rt_memcpy(dst, src, 8), dst);
  EXPECT_EQ(std::memcmp(dst, src, 8), 0);
  EXPECT_EQ(dst[8], 0xEE);
  std::memset(dst, 0xEE, sizeof dst);
  EXPECT_EQ(__rt_memcpy_w(dst, src, 4), dst);
  EXPECT_EQ(std::memcmp(dst, src, 4), 0);
  EXPECT_EQ(dst[4], 0xEE);
}

TEST(RuntimeCopy, OverlappingBlocksAreCopiedAsThroughABuffer) {
  unsigned char forward[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  __rt_memcpy(forward + 2, forward, 5);
  const unsigned char want_forward[8] = {1, 2, 1, 2, 3, 4, 5, 8};
  EXPECT_EQ(std::memcmp(forward, want_forward, 8), 0);
  unsigned char backward[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  __rt_memcpy(backward, backward + 2, 5);
  const unsigned char want_backward[8] = {3, 4, 5, 6, 7, 6, 7, 8};
  EXPECT_EQ(std::memcmp(backward, want_backward, 8), 0);
}

TEST(RuntimeCopy, ClearZeroesOnlyTheGivenBytes) {
  unsigned char b[6] = {9, 9, 9, 9, 9, 9};
  __rt_memclr(b + 1, 4);
  const unsigned char want[6] = {9, 0, 0, 0, 0, 9};
  EXPECT_EQ(std::memcmp(b, want, 6), 0);
  __rt_memclr(b, 0);
  EXPECT_EQ(b[0], 9);
}

}  // namespace
