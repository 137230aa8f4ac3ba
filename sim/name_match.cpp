// SPDX-License-Identifier: MIT
#include "sim/name_match.h"

#include "sim/fs_paths.h"

namespace sim::names {
namespace {

WCHAR Lower(WCHAR c) {
  return (c >= u'A' && c <= u'Z') ? (WCHAR)(c - u'A' + u'a') : c;
}

// Code point order, which is the byte order of the names in UTF-8: surrogate
// units (characters beyond U+FFFF) sort after all other units.
int32_t OrderKey(WCHAR c) {
  if (c >= 0xD800 && c <= 0xDFFF) return (int32_t)c + 0x2000;
  if (c >= 0xE000) return (int32_t)c - 0x800;
  return (int32_t)c;
}

// Stops at the first difference, so nothing past a terminator is read.
bool StartsWith(const WCHAR* s, const WCHAR* prefix) {
  for (uint32_t k = 0; prefix[k] != 0; ++k)
    if (s[k] != prefix[k]) return false;
  return true;
}

// Heap sort: no extra memory and no deep recursion, whatever the folder.
void SiftDown(NameEntry* e, const WCHAR* pool, NameOrder order, uint32_t root, uint32_t end) {
  for (;;) {
    uint64_t child = 2 * (uint64_t)root + 1;
    if (child >= end) return;
    uint32_t c = (uint32_t)child;
    if (c + 1 < end && order(pool + e[c].name_at, pool + e[c + 1].name_at) < 0) ++c;
    if (order(pool + e[root].name_at, pool + e[c].name_at) >= 0) return;
    NameEntry t = e[root];
    e[root] = e[c];
    e[c] = t;
    root = c;
  }
}

}  // namespace

// Iterative with one backtrack point, so no input can make it slow or deep.
// A star of the pattern is a star even where the name holds one (a host file
// may).
bool Glob(const Pattern& p, const WCHAR* name, uint32_t name_len) {
  uint32_t pi = 0, ni = 0, star = UINT32_MAX, resume = 0;
  while (ni < name_len) {
    if (pi < p.length && p.units[pi] == u'*') {
      star = pi++;
      resume = ni;
    } else if (pi < p.length && (p.units[pi] == u'?' || Lower(p.units[pi]) == Lower(name[ni]))) {
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

int32_t CompareNames(const WCHAR* a, const WCHAR* b) {
  for (uint32_t i = 0;; ++i) {
    if (a[i] != b[i]) return OrderKey(a[i]) - OrderKey(b[i]);
    if (a[i] == 0) return 0;
  }
}

int32_t CompareFolded(const WCHAR* a, const WCHAR* b) {
  for (uint32_t i = 0;; ++i) {
    if (Lower(a[i]) != Lower(b[i])) return OrderKey(Lower(a[i])) - OrderKey(Lower(b[i]));
    if (a[i] == 0) return CompareNames(a, b);
  }
}

bool ParseSearchText(const WCHAR* text, WCHAR* folder, uint32_t* folder_units, Pattern* patterns,
                     uint32_t* pattern_count) {
  uint32_t i = 0;
  // "file:/" in front of a full "file://" URI is the phone's volume prefix.
  static const WCHAR kVolume[] = u"file:/";
  static const WCHAR kScheme[] = u"file://";
  if (StartsWith(text, kVolume) && StartsWith(text + 6, kScheme)) i = 6;
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

void SortEntries(NameEntry* entries, uint32_t count, const WCHAR* pool, NameOrder order) {
  for (uint32_t i = count / 2; i > 0; --i) SiftDown(entries, pool, order, i - 1, count);
  for (uint32_t end = count; end > 1; --end) {
    NameEntry t = entries[0];
    entries[0] = entries[end - 1];
    entries[end - 1] = t;
    SiftDown(entries, pool, order, 0, end - 1);
  }
}

uint32_t DropCaseTwins(NameEntry* entries, uint32_t count, const WCHAR* pool) {
  SortEntries(entries, count, pool, CompareFolded);
  uint32_t kept = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (kept > 0) {
      const WCHAR* a = pool + entries[kept - 1].name_at;
      const WCHAR* b = pool + entries[i].name_at;
      uint32_t k = 0;
      while (a[k] != 0 && Lower(a[k]) == Lower(b[k])) ++k;
      if (a[k] == 0 && b[k] == 0) continue;
    }
    entries[kept++] = entries[i];
  }
  return kept;
}

}  // namespace sim::names
