// SPDX-License-Identifier: MIT
// Loading and unloading program images.
#include "sim/driver.h"
#include "test_apps.h"

namespace simtest {
namespace {

class Loader : public Framework {};

TEST_F(Loader, EveryLoadStartsWithFreshStaticState) {
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    uint32_t result = 0;
    ASSERT_TRUE(sim::LoadImage(ZQ_TEST_IMAGE_FRESH, "0123", 100, &result));
    EXPECT_TRUE(sim::ImageLoaded());
    EXPECT_EQ(result, 101u);
    auto* count = static_cast<uint32_t*>(sim::ImageSymbol("load_count"));
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(*count, 1u);
    EXPECT_EQ(sim::ImageSymbol("no_such_symbol"), nullptr);
    sim::UnloadImage();
    EXPECT_FALSE(sim::ImageLoaded());
    EXPECT_FALSE(sim::UnloadRequested());
    EXPECT_EQ(sim::ImageSymbol("load_count"), nullptr);
  }
  EXPECT_EQ(CountFact(sim::Fact::kUnload, 0), 2);
}

TEST_F(Loader, ASecondImageIsRefusedWhileOneIsLoaded) {
  ASSERT_TRUE(sim::LoadImage(ZQ_TEST_IMAGE_FRESH, "", 0, nullptr));
  uint32_t result = 0xABCD;
  EXPECT_FALSE(sim::LoadImage(ZQ_TEST_IMAGE_FRESH, "", 0, &result));
  EXPECT_EQ(result, 0xABCDu);
  EXPECT_TRUE(sim::ImageLoaded());
  auto* count = static_cast<uint32_t*>(sim::ImageSymbol("load_count"));
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(*count, 1u);
}

TEST_F(Loader, ImagesThatCannotBeLoadedAreReportedAsFailures) {
  struct Case {
    const char* what;
    const char* path;
  } cases[] = {
      {"missing file", "/nonexistent/zq_player.so"},
      {"import the firmware does not offer", ZQ_TEST_IMAGE_MISSING_IMPORT},
      {"no path", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    uint32_t result = 0x5555;
    EXPECT_FALSE(sim::LoadImage(c.path, "", 0, &result));
    EXPECT_EQ(result, 0x5555u);
    EXPECT_FALSE(sim::ImageLoaded());
  }
  // The stand-in is still usable afterwards.
  EXPECT_TRUE(sim::LoadImage(ZQ_TEST_IMAGE_FRESH, "", 0, nullptr));
}

TEST_F(Loader, AnImageThatAsksToBeUnloadedIsUnloadedOnceItsEntryHasReturned) {
  uint32_t result = 0;
  ASSERT_TRUE(sim::LoadImage(ZQ_TEST_IMAGE_FRESH, "U", 7, &result));
  EXPECT_EQ(result, 8u);  // the entry ran to its end
  EXPECT_FALSE(sim::ImageLoaded());
  EXPECT_TRUE(sim::UnloadRequested());
  EXPECT_TRUE(HasFact(sim::Fact::kUnload, 0));
  // And a new image can be loaded after it.
  ASSERT_TRUE(sim::LoadImage(ZQ_TEST_IMAGE_FRESH, "", 7, &result));
  EXPECT_EQ(result, 8u);
  EXPECT_FALSE(sim::UnloadRequested());
}

TEST_F(Loader, ResetLetsTheImageGo) {
  ASSERT_TRUE(sim::LoadImage(ZQ_TEST_IMAGE_FRESH, "", 0, nullptr));
  sim::Reset();
  EXPECT_FALSE(sim::ImageLoaded());
  EXPECT_EQ(sim::NowMs(), 0u);
}

}  // namespace
}  // namespace simtest
