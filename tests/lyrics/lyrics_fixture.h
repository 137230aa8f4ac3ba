// SPDX-License-Identifier: MIT
// The fixture every lyrics test starts from: a fresh phone folder holding the
// GB2312 table file (and, in builds that read the table from firmware memory,
// the table installed there), and a check that nothing the test allocated
// through the firmware is left behind.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "lyrics_support.h"
#include "sim/driver.h"

namespace lyrics_test {

class LyricsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::make_unique<PhoneFolder>();
    folder_->PlaceTable();
#ifdef PATCH
    ASSERT_TRUE(sim::InstallGb2ucFile(TablePath()));
#endif
    blocks_before_ = LiveBlocks();
  }
  void TearDown() override {
    sim::FailAllocation(0);
    EXPECT_EQ(LiveBlocks(), blocks_before_) << "blocks left behind";
    EXPECT_EQ(sim::GetMemoryStats().overruns, 0u) << "a block was written past its end or before its start";
  }
  const PhoneFolder& Folder() const {
    return *folder_;
  }

 private:
  std::unique_ptr<PhoneFolder> folder_;
  uint32_t blocks_before_ = 0;
};

}  // namespace lyrics_test
