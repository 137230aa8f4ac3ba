// SPDX-License-Identifier: MIT
// The tracking allocator: statistics, bad frees, failure injection and the
// leak report at an image's unload.
#include "platform/memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sim/driver.h"
#include "sim/internal.h"

namespace {

class Memory : public testing::Test {
 protected:
  void SetUp() override { sim::internal::MemoryReset(); }
  void TearDown() override { sim::internal::MemoryReset(); }
};

TEST_F(Memory, CountsLiveAndPeakBytes) {
  void* a = suAllocMem(100, nullptr);
  void* b = suAllocMem(50, nullptr);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  sim::MemoryStats s = sim::GetMemoryStats();
  EXPECT_EQ(s.live_blocks, 2u);
  EXPECT_EQ(s.live_bytes, 150u);
  EXPECT_EQ(s.peak_bytes, 150u);
  suFreeMem(a);
  void* c = suAllocMem(20, nullptr);
  s = sim::GetMemoryStats();
  EXPECT_EQ(s.live_blocks, 2u);
  EXPECT_EQ(s.live_bytes, 70u);
  EXPECT_EQ(s.peak_bytes, 150u);
  EXPECT_EQ(s.peak_blocks, 2u);
  EXPECT_EQ(s.allocations, 3u);
  suFreeMem(b);
  suFreeMem(c);
  s = sim::GetMemoryStats();
  EXPECT_EQ(s.live_blocks, 0u);
  EXPECT_EQ(s.live_bytes, 0u);
  EXPECT_EQ(s.bad_frees, 0u);
}

TEST_F(Memory, NewBlocksAreNotClearedAndZeroSizedOnesAreDistinct) {
  auto* p = (unsigned char*)suAllocMem(16, nullptr);
  ASSERT_NE(p, nullptr);
  for (int i = 0; i < 16; ++i) EXPECT_NE(p[i], 0) << i;
  void* z1 = suAllocMem(0, nullptr);
  void* z2 = suAllocMem(0, nullptr);
  ASSERT_NE(z1, nullptr);
  ASSERT_NE(z2, nullptr);
  EXPECT_NE(z1, z2);
  suFreeMem(z1);
  suFreeMem(z2);
  suFreeMem(p);
  EXPECT_EQ(sim::GetMemoryStats().live_blocks, 0u);
}

TEST_F(Memory, BadFreesAreCountedReportedAndHarmless) {
  void* a = suAllocMem(8, nullptr);
  void* keep = suAllocMem(8, nullptr);
  int on_stack = 0;
  struct Case {
    const char* what;
    void* ptr;
    const char* message;
  };
  suFreeMem(a);
  const Case cases[] = {
      {"double free", a, "freed twice"},
      {"foreign pointer", &on_stack, "never handed out"},
      {"inside a block", (char*)keep + 1, "never handed out"},
  };
  uint32_t expected = 0;
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    suFreeMem(c.ptr);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(c.message), std::string::npos) << c.what << ": " << err;
    EXPECT_EQ(sim::GetMemoryStats().bad_frees, ++expected) << c.what;
  }
  suFreeMem(nullptr);  // harmless, not a bad free
  EXPECT_EQ(sim::GetMemoryStats().bad_frees, expected);
  // The block next to the bad frees is still intact and still owned.
  EXPECT_EQ(sim::GetMemoryStats().live_blocks, 1u);
  suFreeMem(keep);
  EXPECT_EQ(sim::GetMemoryStats().live_blocks, 0u);
}

TEST_F(Memory, ASecondFreeAfterNewAllocationsFreesNothingElse) {
  auto* a = (unsigned char*)suAllocMem(32, nullptr);
  ASSERT_NE(a, nullptr);
  suFreeMem(a);
  std::vector<unsigned char*> later;
  for (int i = 0; i < 50; ++i) {
    later.push_back((unsigned char*)suAllocMem(32, nullptr));
    EXPECT_NE(later.back(), a) << "a freed block was handed out again at once";
  }
  testing::internal::CaptureStderr();
  suFreeMem(a);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("freed twice"), std::string::npos);
  EXPECT_EQ(sim::GetMemoryStats().live_blocks, 50u);
  EXPECT_EQ(sim::GetMemoryStats().bad_frees, 1u);
  for (unsigned char* p : later) suFreeMem(p);
  EXPECT_EQ(sim::GetMemoryStats().bad_frees, 1u);
}

// One byte written next to a block, at its free or left behind at the unload:
// reported with the block's size and allocation number in every build, and
// under ASan at the write itself.
TEST_F(Memory, AWriteNextToABlockIsReported) {
  struct Case {
    const char* name;
    int offset;   // from the block's start; the block is 5 bytes long
    bool leaked;  // left behind by an image instead of freed
    const char* message;
  };
  const Case cases[] = {
      {"one byte past the end", 5, false, "suFreeMem: block "},
      {"one byte before the start", -1, false, "before its start"},
      {"in the rounding past the end", 15, false, "past its end"},
      {"past the end of a leaked block", 5, true, "unload: block "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim::internal::MemoryReset();
    suFreeMem(suAllocMem(8, nullptr));
    if (c.leaked) sim::internal::MemoryImageLoaded();
    auto* p = (unsigned char*)suAllocMem(5, nullptr);  // allocation 2
    ASSERT_NE(p, nullptr);
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_DEATH(p[c.offset] = 0, "AddressSanitizer");
    suFreeMem(p);
#else
    p[c.offset] = 0;
    testing::internal::CaptureStderr();
    if (c.leaked)
      sim::internal::MemoryImageUnloaded();
    else
      suFreeMem(p);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
    EXPECT_NE(err.find("of 5 bytes from allocation 2 was written"), std::string::npos) << err;
    EXPECT_EQ(sim::GetMemoryStats().overruns, 1u);
#endif
    EXPECT_EQ(sim::GetMemoryStats().live_blocks, 0u);
  }
  // Writing the whole block, and nothing more, is no overrun.
  sim::internal::MemoryReset();
  auto* p = (unsigned char*)suAllocMem(16, nullptr);
  std::memset(p, 0, 16);
  suFreeMem(p);
  EXPECT_EQ(sim::GetMemoryStats().overruns, 0u);
}

TEST_F(Memory, InjectedFailureHitsExactlyTheNthCall) {
  for (uint32_t nth = 1; nth <= 3; ++nth) {
    sim::internal::MemoryReset();
    sim::FailAllocation(nth);
    for (uint32_t call = 1; call <= 4; ++call) {
      int32_t error = -1;
      void* p = suAllocMem(4, &error);
      if (call == nth) {
        EXPECT_EQ(p, nullptr) << "nth " << nth;
        EXPECT_NE(error, 0);
      } else {
        EXPECT_NE(p, nullptr) << "nth " << nth << " call " << call;
        EXPECT_EQ(error, 0);
      }
    }
    EXPECT_EQ(sim::GetMemoryStats().failed, 1u);
    EXPECT_EQ(sim::GetMemoryStats().allocations, 3u);
  }
  sim::FailAllocation(0);
  EXPECT_NE(suAllocMem(4, nullptr), nullptr);
}

// A long run replays only if the same seed fails the same calls.
TEST_F(Memory, RandomFailuresComeAboutOnceInNCallsAndAgainForTheSameSeed) {
  auto failing_calls = [](uint32_t one_in, uint32_t seed) {
    sim::internal::MemoryReset();
    sim::FailAllocationsAtRandom(one_in, seed);
    std::vector<int> calls;
    for (int call = 0; call < 5000; ++call) {
      void* p = suAllocMem(4, nullptr);
      if (p == nullptr) calls.push_back(call);
      suFreeMem(p);
    }
    return calls;
  };
  std::vector<int> first = failing_calls(50, 7);
  EXPECT_GT(first.size(), 60u);  // 100 expected
  EXPECT_LT(first.size(), 140u);
  EXPECT_EQ(failing_calls(50, 7), first);
  EXPECT_NE(failing_calls(50, 8), first);
  EXPECT_TRUE(failing_calls(0, 7).empty());
}

TEST_F(Memory, UnloadReportsAndFreesOnlyTheImagesBlocks) {
  void* before = suAllocMem(10, nullptr);  // not the image's
  sim::internal::MemoryImageLoaded();
  void* freed = suAllocMem(11, nullptr);
  suAllocMem(300, nullptr);  // allocation 3, left behind
  suFreeMem(freed);
  suAllocMem(7, nullptr);  // allocation 4, left behind
  sim::internal::MemoryImageUnloaded();

  EXPECT_EQ(sim::LeakedBlocks(), 2u);
  char report[256];
  size_t n = sim::LeakReport(report, sizeof report);
  std::string text(report, n);
  EXPECT_NE(text.find("2 blocks leaked, 307 bytes"), std::string::npos) << text;
  size_t first = text.find("300 bytes from allocation 3");
  size_t second = text.find("7 bytes from allocation 4");
  EXPECT_NE(first, std::string::npos) << text;
  EXPECT_NE(second, std::string::npos) << text;
  EXPECT_LT(first, second);
  sim::MemoryStats s = sim::GetMemoryStats();
  EXPECT_EQ(s.live_blocks, 1u);
  EXPECT_EQ(s.live_bytes, 10u);
  suFreeMem(before);
  EXPECT_EQ(sim::GetMemoryStats().bad_frees, 0u);
}

TEST_F(Memory, LeakReportIsCutToItsBufferAndTerminated) {
  sim::internal::MemoryImageLoaded();
  for (int i = 0; i < 20; ++i) suAllocMem(1, nullptr);
  sim::internal::MemoryImageUnloaded();
  char small[16];
  std::memset(small, 'x', sizeof small);
  size_t full = sim::LeakReport(small, 10);
  EXPECT_GT(full, 10u);  // the length the whole report needs
  EXPECT_EQ(small[9], '\0');
  EXPECT_EQ(small[10], 'x');
  EXPECT_EQ(sim::LeakReport(nullptr, 0), full);
}

TEST_F(Memory, ATableFullOfLiveBlocksRefusesMoreWithAMessage) {
  std::vector<void*> blocks;
  testing::internal::CaptureStderr();
  for (int i = 0; i < 100000; ++i) {
    void* p = suAllocMem(1, nullptr);
    if (p == nullptr) break;
    blocks.push_back(p);
  }
  std::string err = testing::internal::GetCapturedStderr();
  ASSERT_LT(blocks.size(), 100000u);
  EXPECT_GE(blocks.size(), 1000u);  // far more than the program ever holds
  EXPECT_NE(err.find("no memory"), std::string::npos) << err;
  EXPECT_EQ(sim::GetMemoryStats().failed, 1u);
  // Freeing one makes room for one.
  suFreeMem(blocks.back());
  blocks.pop_back();
  void* again = suAllocMem(1, nullptr);
  EXPECT_NE(again, nullptr);
  blocks.push_back(again);
  for (void* p : blocks) suFreeMem(p);
  EXPECT_EQ(sim::GetMemoryStats().live_blocks, 0u);
  EXPECT_EQ(sim::GetMemoryStats().bad_frees, 0u);
}

TEST_F(Memory, ACleanImageLeavesNoLeaks) {
  sim::internal::MemoryImageLoaded();
  void* p = suAllocMem(5, nullptr);
  suFreeMem(p);
  sim::internal::MemoryImageUnloaded();
  EXPECT_EQ(sim::LeakedBlocks(), 0u);
  char report[64];
  sim::LeakReport(report, sizeof report);
  EXPECT_STREQ(report, "0 blocks leaked, 0 bytes\n");
}

}  // namespace
