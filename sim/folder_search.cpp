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
#include "sim/port.h"
#include "sim/port_array.h"

namespace {

constexpr uint32_t kMaxSearches = 4;
constexpr uint32_t kMaxResults = UINT16_MAX;
constexpr uint32_t kMaxPatterns = 8;
constexpr uint32_t kPatternUnits = 64;
constexpr uint32_t kSearchUnits = 1024;  // how far a search text is read

constexpr uint32_t kOk = 0;
constexpr uint32_t kBadArgument = 1;
constexpr uint32_t kNoFolder = 2;
constexpr uint32_t kTooManySearches = 3;
constexpr uint32_t kBadHandle = 4;
constexpr uint32_t kBadIndex = 5;
constexpr uint32_t kNoMemory = 6;

// One result: a name of the folder, kept in the search's pool of names.
struct Entry {
  uint32_t name_at;  // first unit in `names`; the name ends with a zero
  uint32_t size;
};

struct Search {
  bool used;
  bool out_of_memory;
  uint16_t count;                    // results reported
  WCHAR folder[sim::fs::kUriUnits];  // the folder's URI, ending with "/"
  uint32_t folder_units;
  sim::PortArray<Entry> entries;
  sim::PortArray<WCHAR> names;
};

Search g_searches[kMaxSearches];

void end_search(Search* s) {
  s->entries.release();
  s->names.release();
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

void keep_last(const FS_SEARCH_PARAMS_T& params, const WCHAR* search) {
  g_last.made = true;
  const uint8_t* bytes = (const uint8_t*)&params;
  for (uint32_t i = 0; i < sizeof params; ++i) g_last.params[i] = bytes[i];
  uint32_t n = 0;
  if (search != nullptr)
    for (; n < kSearchUnits && search[n] != 0; ++n) g_last.text[n] = search[n];
  g_last.text[n] = 0;
}

struct Pattern {
  WCHAR units[kPatternUnits];
  uint32_t length;
};

WCHAR lower(WCHAR c) {
  return (c >= u'A' && c <= u'Z') ? (WCHAR)(c - u'A' + u'a') : c;
}

// Glob with * and ?, ASCII letters matched regardless of case. Iterative
// with one backtrack point, so no input can make it slow or deep. A star of
// the pattern is a star even where the name holds one (a host file may).
bool glob(const Pattern& p, const WCHAR* name, uint32_t name_len) {
  uint32_t pi = 0, ni = 0, star = UINT32_MAX, resume = 0;
  while (ni < name_len) {
    if (pi < p.length && p.units[pi] == u'*') {
      star = pi++;
      resume = ni;
    } else if (pi < p.length && (p.units[pi] == u'?' || lower(p.units[pi]) == lower(name[ni]))) {
      ++pi;
      ++ni;
    } else if (star != UINT32_MAX) {
      pi = star + 1;
      ni = ++resume;
    } else {
      return false;
    }
  }
  while (pi < p.length && p.units[pi] == u'*') ++pi;
  return pi == p.length;
}

// Code point order, which is the byte order of the names in UTF-8: surrogate
// units (characters beyond U+FFFF) sort after all other units.
int32_t order_key(WCHAR c) {
  if (c >= 0xD800 && c <= 0xDFFF) return (int32_t)c + 0x2000;
  if (c >= 0xE000) return (int32_t)c - 0x800;
  return (int32_t)c;
}

int32_t compare_names(const WCHAR* a, const WCHAR* b) {
  for (uint32_t i = 0;; ++i) {
    if (a[i] != b[i]) return order_key(a[i]) - order_key(b[i]);
    if (a[i] == 0) return 0;
  }
}

// Names that differ only by ASCII case side by side, in byte order among
// themselves.
int32_t compare_folded(const WCHAR* a, const WCHAR* b) {
  for (uint32_t i = 0;; ++i) {
    if (lower(a[i]) != lower(b[i])) return order_key(lower(a[i])) - order_key(lower(b[i]));
    if (a[i] == 0) return compare_names(a, b);
  }
}

typedef int32_t (*NameOrder)(const WCHAR* a, const WCHAR* b);

const WCHAR* name_of(Search& s, uint32_t i) {
  return &s.names[s.entries[i].name_at];
}

// Heap sort: no extra memory and no deep recursion, whatever the folder.
void sift_down(Search& s, NameOrder order, uint32_t root, uint32_t end) {
  for (;;) {
    uint64_t child = 2 * (uint64_t)root + 1;
    if (child >= end) return;
    uint32_t c = (uint32_t)child;
    if (c + 1 < end && order(name_of(s, c), name_of(s, c + 1)) < 0) ++c;
    if (order(name_of(s, root), name_of(s, c)) >= 0) return;
    Entry t = s.entries[root];
    s.entries[root] = s.entries[c];
    s.entries[c] = t;
    root = c;
  }
}

void sort_entries(Search& s, NameOrder order) {
  uint32_t n = s.entries.size();
  for (uint32_t i = n / 2; i > 0; --i) sift_down(s, order, i - 1, n);
  for (uint32_t end = n; end > 1; --end) {
    Entry t = s.entries[0];
    s.entries[0] = s.entries[end - 1];
    s.entries[end - 1] = t;
    sift_down(s, order, 0, end - 1);
  }
}

// Of names that differ only by case, the first in byte order stays.
void drop_case_twins(Search& s) {
  sort_entries(s, compare_folded);
  uint32_t kept = 0;
  for (uint32_t i = 0; i < s.entries.size(); ++i) {
    if (kept > 0) {
      const WCHAR* a = name_of(s, kept - 1);
      const WCHAR* b = name_of(s, i);
      uint32_t k = 0;
      while (a[k] != 0 && lower(a[k]) == lower(b[k])) ++k;
      if (a[k] == 0 && b[k] == 0) continue;
    }
    s.entries[kept++] = s.entries[i];
  }
  s.entries.cut(kept);
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
bool readable(const char* folder_host, const char* name, uint32_t* size) {
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
  if (!sim::port::exists_file(host)) return false;
  int fd = sim::port::open_read(host);
  if (fd < 0) return false;
  int64_t bytes = sim::port::file_size(fd);
  sim::port::close(fd);
  *size = bytes < 0 ? 0 : bytes > (int64_t)UINT32_MAX ? UINT32_MAX : (uint32_t)bytes;
  return true;
}

void consider(const char* name, bool is_dir, void* ctx) {
  Collect* c = (Collect*)ctx;
  Search* s = c->search;
  if (is_dir || s->out_of_memory) return;
  // Room for two units more than a URI can take: the conversion stops
  // before a character that does not fit, and a name so cut short (even just
  // before a pair of surrogate units) must still be too long, never listed as
  // the shorter name it was cut to.
  WCHAR units[sim::fs::kUriUnits + 2];
  size_t name_units = sim::internal::utf8_to_utf16(name, units, sim::fs::kUriUnits + 2 - s->folder_units);
  // A URI that does not fit a URI buffer cannot be reported; leave it out.
  if (s->folder_units + name_units >= sim::fs::kUriUnits) return;
  bool match = false;
  for (uint32_t i = 0; i < c->pattern_count && !match; ++i) match = glob(c->patterns[i], units, (uint32_t)name_units);
  uint32_t size = 0;
  if (!match || !readable(c->folder_host, name, &size)) return;  // a file the phone could not read is not listed

  uint32_t name_at = s->names.size();
  WCHAR* stored = s->names.append((uint32_t)name_units + 1);
  Entry* e = stored != nullptr ? s->entries.append(1) : nullptr;
  if (e == nullptr) {
    s->out_of_memory = true;
    return;
  }
  for (size_t i = 0; i <= name_units; ++i) stored[i] = units[i];
  e->name_at = name_at;
  e->size = size;
}

// Stops at the first difference, so nothing past a terminator is read.
bool starts_with(const WCHAR* s, const WCHAR* prefix) {
  for (uint32_t k = 0; prefix[k] != 0; ++k)
    if (s[k] != prefix[k]) return false;
  return true;
}

// Splits the search text: the folder before the first separator unit, then
// one pattern after each. Returns false when the text is malformed.
bool parse(const WCHAR* text, WCHAR* folder, uint32_t* folder_units, Pattern* patterns, uint32_t* pattern_count) {
  uint32_t i = 0;
  // "file:/" in front of a full "file://" URI is the phone's volume prefix.
  static const WCHAR kVolume[] = u"file:/";
  static const WCHAR kScheme[] = u"file://";
  if (starts_with(text, kVolume) && starts_with(text + 6, kScheme)) i = 6;
  uint32_t n = 0;
  for (; text[i] != 0 && text[i] != FS_PATTERN_SEPARATOR; ++i) {
    if (n + 2 >= sim::fs::kUriUnits || i >= kSearchUnits) return false;  // room for a "/" and the terminator
    folder[n++] = text[i];
  }
  if (n == 0) return false;
  if (folder[n - 1] != u'/') folder[n++] = u'/';
  folder[n] = 0;
  *folder_units = n;
  *pattern_count = 0;
  while (text[i] == FS_PATTERN_SEPARATOR) {
    ++i;
    if (*pattern_count == kMaxPatterns) return false;
    Pattern& p = patterns[(*pattern_count)++];
    p.length = 0;
    for (; text[i] != 0 && text[i] != FS_PATTERN_SEPARATOR; ++i) {
      if (p.length + 1 >= kPatternUnits || i >= kSearchUnits) return false;
      p.units[p.length++] = text[i];
    }
    p.units[p.length] = 0;
  }
  // Without a pattern, every file of the folder is a result.
  if (*pattern_count == 0) {
    patterns[0].units[0] = u'*';
    patterns[0].units[1] = 0;
    patterns[0].length = 1;
    *pattern_count = 1;
  }
  return true;
}

Search* lookup(uint8_t handle) {
  if (handle == 0 || handle > kMaxSearches) return nullptr;
  Search* s = &g_searches[handle - 1];
  return s->used ? s : nullptr;
}

}  // namespace

extern "C" {

uint32_t DL_FsSSearch(FS_SEARCH_PARAMS_T params, const WCHAR* search, uint8_t* handle, uint16_t* total,
                      uint32_t /*zero*/) {
  keep_last(params, search);
  if (total != nullptr) *total = 0;
  if (search == nullptr || handle == nullptr || total == nullptr) return kBadArgument;
  if (sim::fs::fault_fails_search(search)) return sim::fs::kFaultStatus;
  WCHAR folder[sim::fs::kUriUnits];
  uint32_t folder_units = 0;
  Pattern patterns[kMaxPatterns];
  uint32_t pattern_count = 0;
  if (!parse(search, folder, &folder_units, patterns, &pattern_count)) return kBadArgument;
  uint32_t slot = 0;
  while (slot < kMaxSearches && g_searches[slot].used) ++slot;
  if (slot == kMaxSearches) return kTooManySearches;
  Search* s = &g_searches[slot];
  // The results name the folder as the host spells it.
  char host[sim::fs::kHostPathBytes];
  if (!sim::fs::uri_to_host(folder, host, sizeof host, s->folder) ||
      (g_listing == nullptr && !sim::port::exists_dir(host)))
    return kNoFolder;
  s->folder_units = folder_units;

  s->used = true;
  Collect c{s, host, patterns, pattern_count};
  bool listed = g_listing != nullptr ? g_listing(host, consider, &c) : sim::port::list_dir(host, consider, &c);
  if (!listed || s->out_of_memory) {
    uint32_t status = s->out_of_memory ? kNoMemory : kNoFolder;
    end_search(s);
    return status;
  }
  drop_case_twins(*s);
  sort_entries(*s, compare_names);
  s->entries.cut(kMaxResults);
  s->count = (uint16_t)s->entries.size();
  *handle = (uint8_t)(slot + 1);
  *total = s->count;
  return kOk;
}

uint32_t DL_FsSearchResults(uint8_t handle, uint16_t index, uint16_t* count, FS_SEARCH_RESULT_T* results) {
  Search* s = lookup(handle);
  if (count == nullptr) return kBadArgument;
  uint16_t wanted = *count;
  *count = 0;
  if (s == nullptr) return kBadHandle;
  if (index >= s->count) return kBadIndex;
  if (uint32_t status; sim::fs::fault_withholds_result(index, &status)) return status;
  if (results == nullptr) return kBadArgument;
  uint16_t n = 0;
  for (; n < wanted && index + n < s->count; ++n) {
    FS_SEARCH_RESULT_T& out = results[n];
    uint32_t i = 0;
    for (; i < s->folder_units; ++i) out.name[i] = s->folder[i];
    for (const WCHAR* name = name_of(*s, index + n); *name != 0; ++name) out.name[i++] = *name;
    for (; i < sim::fs::kUriUnits; ++i) out.name[i] = 0;
    out.attrib = 0;
    out.size = s->entries[index + n].size;
  }
  *count = n;
  return kOk;
}

uint32_t DL_FsSearchClose(uint8_t handle) {
  Search* s = lookup(handle);
  if (s == nullptr) return kBadHandle;
  end_search(s);
  return kOk;
}

}  // extern "C"

namespace sim::fs {

void search_reset() {
  g_last.made = false;
  g_listing = nullptr;
  for (Search& s : g_searches) end_search(&s);
}

}  // namespace sim::fs

namespace sim {

void set_folder_listing(FolderListing listing) {
  g_listing = listing;
}

bool last_search(WCHAR* text, size_t units, uint8_t params[8]) {
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
