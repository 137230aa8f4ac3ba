// SPDX-License-Identifier: MIT
// File-system faults on demand: an open that fails, a size that is wrong, a
// read that delivers less than asked or fails, a folder search that fails at
// its start or part way. One fault is set at a time; the file and folder
// services ask here at each call.
#include "sim/fs_faults.h"

#include "sim/driver.h"
#include "sim/fs_paths.h"
#include "sim/internal.h"

namespace {

constexpr size_t kPartBytes = 256;

struct Fault {
  sim::FsFault kind;
  char part[kPartBytes];  // UTF-8; empty matches every URI
  uint32_t amount;
};

Fault g_fault;

bool Contains(const char* text, const char* part) {
  for (size_t start = 0;; ++start) {
    size_t k = 0;
    while (part[k] != '\0' && text[start + k] == part[k]) ++k;
    if (part[k] == '\0') return true;
    if (text[start] == '\0') return false;
  }
}

bool Matches(sim::FsFault kind, const WCHAR* uri) {
  if (g_fault.kind != kind || uri == nullptr) return false;
  char text[sim::fs::kUriUnits * 3 + 1];
  sim::internal::Utf16ToUtf8(uri, text, sizeof text);
  return Contains(text, g_fault.part);
}

bool IsFileFault(sim::FsFault kind) {
  return kind == sim::FsFault::kSizeTooLarge || kind == sim::FsFault::kSizeTooSmall ||
         kind == sim::FsFault::kShortRead || kind == sim::FsFault::kReadError;
}

}  // namespace

namespace sim {

void SetFsFault(FsFault fault, const char* uri_part, uint32_t amount) {
  g_fault = Fault{};
  g_fault.kind = fault;
  g_fault.amount = amount;
  size_t n = 0;
  if (uri_part != nullptr)
    for (; n + 1 < kPartBytes && uri_part[n] != '\0'; ++n) g_fault.part[n] = uri_part[n];
  g_fault.part[n] = '\0';
}

}  // namespace sim

namespace sim::fs {

bool FaultOnFile(const WCHAR* uri) {
  return IsFileFault(g_fault.kind) && Matches(g_fault.kind, uri);
}

bool FaultFailsOpen(const WCHAR* uri) {
  return Matches(FsFault::kOpenFails, uri);
}

uint64_t FaultSize(bool faulty, uint64_t size) {
  if (faulty && g_fault.kind == FsFault::kSizeTooLarge) return size + g_fault.amount;
  if (faulty && g_fault.kind == FsFault::kSizeTooSmall) return size > g_fault.amount ? size - g_fault.amount : 0;
  return size;
}

bool FaultCutsRead(bool faulty, uint64_t* bytes) {
  if (!faulty || (g_fault.kind != FsFault::kShortRead && g_fault.kind != FsFault::kReadError)) return false;
  if (*bytes > g_fault.amount) *bytes = g_fault.amount;
  return g_fault.kind == FsFault::kReadError;
}

bool FaultFailsSearch(const WCHAR* text) {
  return Matches(FsFault::kSearchFails, text);
}

bool FaultWithholdsResult(uint16_t index, uint32_t* status) {
  bool breaks = g_fault.kind == FsFault::kSearchBreaksOff;
  if ((!breaks && g_fault.kind != FsFault::kSearchRunsShort) || index < g_fault.amount) return false;
  *status = breaks ? kFaultStatus : 0;
  return true;
}

void FaultsReset() {
  g_fault = Fault{};
}

}  // namespace sim::fs
