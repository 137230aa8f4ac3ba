// SPDX-License-Identifier: MIT
// Folder search: the files of one folder whose names match any of several
// patterns, as full URIs, sorted by name. The phone's FAT volume ignores
// letter case, so patterns do too, and of two host files whose names differ
// only by case the first in byte order is the one listed. Every match is
// kept, in memory from the port, until the search is closed; the count the
// program takes is 16 bits wide, so a folder of more matches reports the
// first 65535 in name order.
#include "platform/filesystem.h"
#include "sim/fs_faults.h"
#include "sim/fs_paths.h"
#include "sim/internal.h"
#include "sim/name_match.h"
#include "sim/port.h"
#include "sim/port_array.h"

namespace {

constexpr uint32_t kMaxSearches = 4;
constexpr uint32_t kMaxResults = UINT16_MAX;
using sim::names::kMaxPatterns;
using sim::names::kSearchUnits;
using sim::names::NameEntry;
using sim::names::Pattern;

constexpr uint32_t kOk = 0;
constexpr uint32_t kBadArgument = 1;
constexpr uint32_t kNoFolder = 2;
constexpr uint32_t kTooManySearches = 3;
constexpr uint32_t kBadHandle = 4;
constexpr uint32_t kBadIndex = 5;
constexpr uint32_t kNoMemory = 6;

struct Search {
  bool used;
  bool out_of_memory;
  uint16_t count;                    // results reported
  WCHAR folder[sim::fs::kUriUnits];  // the folder's URI, ending with "/"
  uint32_t folder_units;
  sim::PortArray<NameEntry> entries;  // names of the folder, in `names`
  sim::PortArray<WCHAR> names;
};

Search g_searches[kMaxSearches];

void EndSearch(Search* s) {
  s->entries.Release();
  s->names.Release();
  s->used = false;
  s->out_of_memory = false;
  s->count = 0;
}

// The last DL_FsSSearch call as the program made it, for tests.
struct LastSearch {
  bool made;
  WCHAR text[kSearchUnits + 1];
  uint8_t params[sizeof(FS_SEARCH_PARAMS_T)];
};
LastSearch g_last;

void KeepLast(const FS_SEARCH_PARAMS_T& params, const WCHAR* search) {
  g_last.made = true;
  const uint8_t* bytes = (const uint8_t*)&params;
  for (uint32_t i = 0; i < sizeof params; ++i) g_last.params[i] = bytes[i];
  uint32_t n = 0;
  if (search != nullptr)
    for (; n < kSearchUnits && search[n] != 0; ++n) g_last.text[n] = search[n];
  g_last.text[n] = 0;
}

struct Collect {
  Search* search;
  const char* folder_host;
  const Pattern* patterns;
  uint32_t pattern_count;
};

// A listing the driver gave in place of the host folders, or null.
sim::FolderListing g_listing;

// The size of a matching file, or false when the phone could not read it.
// The entries of a listing given through the driver are readable and empty.
bool Readable(const char* folder_host, const char* name, uint32_t* size) {
  *size = 0;
  if (g_listing != nullptr) return true;
  // The name comes from the folder itself: it needs no case lookup.
  char host[sim::fs::kHostPathBytes];
  size_t n = 0;
  for (; folder_host[n] != '\0'; ++n) host[n] = folder_host[n];
  host[n++] = '/';
  for (size_t i = 0; name[i] != '\0'; ++i) {
    if (n + 1 >= sizeof host) return false;
    host[n++] = name[i];
  }
  host[n] = '\0';
  int64_t bytes = sim::port::ReadableFileSize(host);
  if (bytes < 0) return false;
  *size = bytes > (int64_t)UINT32_MAX ? UINT32_MAX : (uint32_t)bytes;
  return true;
}

void Consider(const char* name, bool is_dir, void* ctx) {
  Collect* c = (Collect*)ctx;
  Search* s = c->search;
  if (is_dir || s->out_of_memory) return;
  // Room for two units more than a URI can take: the conversion stops
  // before a character that does not fit, and a name so cut short (even just
  // before a pair of surrogate units) must still be too long, never listed as
  // the shorter name it was cut to.
  WCHAR units[sim::fs::kUriUnits + 2];
  size_t name_units = sim::internal::Utf8ToUtf16(name, units, sim::fs::kUriUnits + 2 - s->folder_units);
  // A URI that does not fit a URI buffer cannot be reported; leave it out.
  if (s->folder_units + name_units >= sim::fs::kUriUnits) return;
  bool match = false;
  for (uint32_t i = 0; i < c->pattern_count && !match; ++i) match = sim::names::Glob(c->patterns[i], units, (uint32_t)name_units);
  uint32_t size = 0;
  if (!match || !Readable(c->folder_host, name, &size)) return;  // a file the phone could not read is not listed

  uint32_t name_at = s->names.Size();
  WCHAR* stored = s->names.Append((uint32_t)name_units + 1);
  NameEntry* e = stored != nullptr ? s->entries.Append(1) : nullptr;
  if (e == nullptr) {
    s->out_of_memory = true;
    return;
  }
  for (size_t i = 0; i <= name_units; ++i) stored[i] = units[i];
  e->name_at = name_at;
  e->size = size;
}

Search* Lookup(uint8_t handle) {
  if (handle == 0 || handle > kMaxSearches) return nullptr;
  Search* s = &g_searches[handle - 1];
  return s->used ? s : nullptr;
}

}  // namespace

extern "C" {

uint32_t DL_FsSSearch(FS_SEARCH_PARAMS_T params, const WCHAR* search, uint8_t* handle, uint16_t* total,
                      uint32_t /*zero*/) {
  KeepLast(params, search);
  if (total != nullptr) *total = 0;
  if (search == nullptr || handle == nullptr || total == nullptr) return kBadArgument;
  if (sim::fs::FaultFailsSearch(search)) return sim::fs::kFaultStatus;
  WCHAR folder[sim::fs::kUriUnits];
  uint32_t folder_units = 0;
  Pattern patterns[kMaxPatterns];
  uint32_t pattern_count = 0;
  if (!sim::names::ParseSearchText(search, folder, &folder_units, patterns, &pattern_count)) return kBadArgument;
  uint32_t slot = 0;
  while (slot < kMaxSearches && g_searches[slot].used) ++slot;
  if (slot == kMaxSearches) return kTooManySearches;
  Search* s = &g_searches[slot];
  // The results name the folder as the host spells it.
  char host[sim::fs::kHostPathBytes];
  if (!sim::fs::UriToHost(folder, host, sizeof host, s->folder) ||
      (g_listing == nullptr && !sim::port::ExistsDir(host)))
    return kNoFolder;
  s->folder_units = folder_units;

  s->used = true;
  Collect c{s, host, patterns, pattern_count};
  bool listed = g_listing != nullptr ? g_listing(host, Consider, &c) : sim::port::ListDir(host, Consider, &c);
  if (!listed || s->out_of_memory) {
    uint32_t status = s->out_of_memory ? kNoMemory : kNoFolder;
    EndSearch(s);
    return status;
  }
  s->entries.Cut(sim::names::DropCaseTwins(s->entries.Data(), s->entries.Size(), s->names.Data()));
  sim::names::SortEntries(s->entries.Data(), s->entries.Size(), s->names.Data(), sim::names::CompareNames);
  s->entries.Cut(kMaxResults);
  s->count = (uint16_t)s->entries.Size();
  *handle = (uint8_t)(slot + 1);
  *total = s->count;
  return kOk;
}

uint32_t DL_FsSearchResults(uint8_t handle, uint16_t index, uint16_t* count, FS_SEARCH_RESULT_T* results) {
  Search* s = Lookup(handle);
  if (count == nullptr) return kBadArgument;
  uint16_t wanted = *count;
  *count = 0;
  if (s == nullptr) return kBadHandle;
  if (index >= s->count) return kBadIndex;
  if (uint32_t status; sim::fs::FaultWithholdsResult(index, &status)) return status;
  if (results == nullptr) return kBadArgument;
  uint16_t n = 0;
  for (; n < wanted && index + n < s->count; ++n) {
    FS_SEARCH_RESULT_T& out = results[n];
    uint32_t i = 0;
    for (; i < s->folder_units; ++i) out.name[i] = s->folder[i];
    for (const WCHAR* name = &s->names[s->entries[index + n].name_at]; *name != 0; ++name) out.name[i++] = *name;
    for (; i < sim::fs::kUriUnits; ++i) out.name[i] = 0;
    out.attrib = 0;
    out.size = s->entries[index + n].size;
  }
  *count = n;
  return kOk;
}

uint32_t DL_FsSearchClose(uint8_t handle) {
  Search* s = Lookup(handle);
  if (s == nullptr) return kBadHandle;
  EndSearch(s);
  return kOk;
}

}  // extern "C"

namespace sim::fs {

void SearchReset() {
  g_last.made = false;
  g_listing = nullptr;
  for (Search& s : g_searches) EndSearch(&s);
}

}  // namespace sim::fs

namespace sim {

void SetFolderListing(FolderListing listing) {
  g_listing = listing;
}

bool LastSearch(WCHAR* text, size_t units, uint8_t params[8]) {
  if (!g_last.made) return false;
  if (text != nullptr && units > 0) {
    size_t n = 0;
    for (; n + 1 < units && g_last.text[n] != 0; ++n) text[n] = g_last.text[n];
    text[n] = 0;
  }
  if (params != nullptr)
    for (size_t i = 0; i < sizeof g_last.params; ++i) params[i] = g_last.params[i];
  return true;
}

}  // namespace sim
