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

bool contains(const char* text, const char* part) {
  for (size_t start = 0;; ++start) {
    size_t k = 0;
    while (part[k] != '\0' && text[start + k] == part[k]) ++k;
    if (part[k] == '\0') return true;
    if (text[start] == '\0') return false;
  }
}

bool matches(sim::FsFault kind, const WCHAR* uri) {
  if (g_fault.kind != kind || uri == nullptr) return false;
  char text[sim::fs::kUriUnits * 3 + 1];
  sim::internal::utf16_to_utf8(uri, text, sizeof text);
  return contains(text, g_fault.part);
}

bool is_file_fault(sim::FsFault kind) {
  return kind == sim::FsFault::SizeTooLarge || kind == sim::FsFault::SizeTooSmall || kind == sim::FsFault::ShortRead ||
         kind == sim::FsFault::ReadError;
}

}  // namespace

namespace sim {

void set_fs_fault(FsFault fault, const char* uri_part, uint32_t amount) {
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

bool fault_on_file(const WCHAR* uri) {
  return is_file_fault(g_fault.kind) && matches(g_fault.kind, uri);
}

bool fault_fails_open(const WCHAR* uri) {
  return matches(FsFault::OpenFails, uri);
}

uint64_t fault_size(bool faulty, uint64_t size) {
  if (faulty && g_fault.kind == FsFault::SizeTooLarge) return size + g_fault.amount;
  if (faulty && g_fault.kind == FsFault::SizeTooSmall) return size > g_fault.amount ? size - g_fault.amount : 0;
  return size;
}

bool fault_cuts_read(bool faulty, uint64_t* bytes) {
  if (!faulty || (g_fault.kind != FsFault::ShortRead && g_fault.kind != FsFault::ReadError)) return false;
  if (*bytes > g_fault.amount) *bytes = g_fault.amount;
  return g_fault.kind == FsFault::ReadError;
}

bool fault_fails_search(const WCHAR* text) {
  return matches(FsFault::SearchFails, text);
}

bool fault_withholds_result(uint16_t index, uint32_t* status) {
  bool breaks = g_fault.kind == FsFault::SearchBreaksOff;
  if ((!breaks && g_fault.kind != FsFault::SearchRunsShort) || index < g_fault.amount) return false;
  *status = breaks ? kFaultStatus : 0;
  return true;
}

void faults_reset() {
  g_fault = Fault{};
}

}  // namespace sim::fs
