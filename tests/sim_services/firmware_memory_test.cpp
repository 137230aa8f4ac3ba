// SPDX-License-Identifier: MIT
// The firmware variables, read at their phone addresses as the program does.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/firmware_vars.h"
#include "sim/driver.h"
#include "sim/internal.h"

namespace {

TEST(FirmwareMemory, HoldsTheIndicatorAndKeypadLockIdentifiers) {
  sim::internal::FirmwareMemoryReset();
  EXPECT_EQ(FwReadU8(ITUNES_STATUS + 1), sim::internal::kIndicatorId);
  // The word is not aligned; copy it out (a plain 32-bit load is what the
  // program does, but UBSan rightly objects to it on the host).
  uint32_t word;
  std::memcpy(&word, (const void*)(uintptr_t)KEYPAD_STATE, sizeof word);
  EXPECT_EQ(word & 0xFFFF, sim::internal::kKeypadLockFeature);
  // A program that scribbles there is put right by the next reset.
  *(volatile uint8_t*)(uintptr_t)(ITUNES_STATUS + 1) = 0;
  sim::internal::FirmwareMemoryReset();
  EXPECT_EQ(FwReadU8(ITUNES_STATUS + 1), sim::internal::kIndicatorId);
}

TEST(FirmwareMemory, InstalledTableIsReadableAtItsAddressWholly) {
  std::vector<uint8_t> t(GB2UC_TABLE_BYTES);
  for (size_t i = 0; i < t.size(); ++i) t[i] = (uint8_t)(i ^ (i >> 8));
  ASSERT_TRUE(sim::InstallGb2ucTable(t.data(), t.size()));
  for (size_t i : {size_t{0}, size_t{1}, size_t{4000}, t.size() - 1})
    EXPECT_EQ(FwReadU8(GB2UC_TABLE_ADDRESS + (uint32_t)i), t[i]) << i;
  sim::internal::FirmwareMemoryReset();  // the table is the firmware's: it stays
  EXPECT_EQ(FwReadU8(GB2UC_TABLE_ADDRESS + GB2UC_TABLE_BYTES - 1), t.back());
  ASSERT_NE(sim::internal::Gb2ucTable(), nullptr);
}

}  // namespace
