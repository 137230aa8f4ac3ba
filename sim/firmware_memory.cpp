// SPDX-License-Identifier: MIT
// The firmware variables at their phone addresses. The program reads them
// there in every build, so the stand-in maps memory of its own at those
// addresses (once, on first use) and writes the values it stands for.
#include "platform/firmware_vars.h"
#include "sim/driver.h"
#include "sim/internal.h"
#include "sim/port.h"

namespace {

constexpr uintptr_t kVariablesPage = 0x10080000;
constexpr size_t kVariablesBytes = 0x1000;
constexpr uintptr_t kTableArea = 0x10C3E000;
constexpr size_t kTableAreaBytes = (GB2UC_TABLE_ADDRESS - kTableArea) + GB2UC_TABLE_BYTES;

bool g_tried;
bool g_mapped;
bool g_table_installed;
uint8_t g_table[GB2UC_TABLE_BYTES];  // the served file's bytes

void Say(const char* text) {
  sim::port::WriteErr(text, __builtin_strlen(text));
}

bool EnsureMapped() {
  if (g_tried) return g_mapped;
  g_tried = true;
  void* vars = sim::port::MapFixed(kVariablesPage, kVariablesBytes);
  void* table = sim::port::MapFixed(kTableArea, kTableAreaBytes);
  g_mapped = vars != nullptr && table != nullptr;
  if (!g_mapped) Say("stand-in: cannot map the firmware variables at their addresses\n");
  return g_mapped;
}

void WriteVariables() {
  *(volatile uint8_t*)(uintptr_t)(ITUNES_STATUS + 1) = sim::internal::kIndicatorId;
  // The program reads the whole word in the processor's order and keeps the
  // low half; the upper half is left clear.
  uint32_t word = sim::internal::kKeypadLockFeature;
  __builtin_memcpy((void*)(uintptr_t)KEYPAD_STATE, &word, sizeof word);
}

}  // namespace

namespace sim {

bool InstallGb2ucTable(const uint8_t* bytes, size_t size) {
  if (bytes == nullptr || size != GB2UC_TABLE_BYTES) return false;
  __builtin_memcpy(g_table, bytes, GB2UC_TABLE_BYTES);
  g_table_installed = true;
  if (EnsureMapped()) __builtin_memcpy((void*)(uintptr_t)GB2UC_TABLE_ADDRESS, g_table, GB2UC_TABLE_BYTES);
  return true;
}

bool InstallGb2ucFile(const char* host_path) {
  int fd = port::OpenRead(host_path);
  if (fd < 0) return false;
  // Read one byte more than a table has, to tell a longer file from a table.
  static uint8_t bytes[GB2UC_TABLE_BYTES + 1];
  bool ok = port::FileSize(fd) == (int64_t)GB2UC_TABLE_BYTES &&
            port::Read(fd, bytes, sizeof bytes) == (int64_t)GB2UC_TABLE_BYTES;
  port::Close(fd);
  return ok && InstallGb2ucTable(bytes, GB2UC_TABLE_BYTES);
}

namespace internal {

// The table belongs to the firmware, not to a run: it survives reset().
const uint8_t* Gb2ucTable() {
  return g_table_installed ? g_table : nullptr;
}

void FirmwareMemoryReset() {
  if (!EnsureMapped()) return;
  WriteVariables();
  if (g_table_installed) __builtin_memcpy((void*)(uintptr_t)GB2UC_TABLE_ADDRESS, g_table, GB2UC_TABLE_BYTES);
}

}  // namespace internal
}  // namespace sim
