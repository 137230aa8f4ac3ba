// SPDX-License-Identifier: MIT
// The folder search's names, apart from any folder: the search text split
// into its folder and patterns, names matched against the patterns as the
// phone's FAT volume does (ASCII letters regardless of case), and the order
// of the results. Pure routines over memory the caller owns.
#pragma once

#include <stdint.h>

#include "platform/filesystem.h"

namespace sim::names {

constexpr uint32_t kMaxPatterns = 8;
constexpr uint32_t kPatternUnits = 64;
constexpr uint32_t kSearchUnits = 1024;  // how far a search text is read

struct Pattern {
  WCHAR units[kPatternUnits];
  uint32_t length;
};

// Splits the search text: the folder before the first separator unit (with
// a "/" at its end; "file:/" in front of a full URI is the volume's prefix),
// then one pattern after each. No pattern means every file. Returns false
// when the text is malformed. `folder` takes sim::fs::kUriUnits units,
// `patterns` kMaxPatterns.
bool ParseSearchText(const WCHAR* text, WCHAR* folder, uint32_t* folder_units, Pattern* patterns,
                     uint32_t* pattern_count);

// Glob with * and ?, ASCII letters matched regardless of case.
bool Glob(const Pattern& p, const WCHAR* name, uint32_t name_len);

// One result: a name kept in a pool of zero-ended names, and its size.
struct NameEntry {
  uint32_t name_at;  // first unit in the pool
  uint32_t size;
};

// Code point order, which is the byte order of the names in UTF-8.
int32_t CompareNames(const WCHAR* a, const WCHAR* b);
// Names that differ only by ASCII case side by side, in byte order among
// themselves.
int32_t CompareFolded(const WCHAR* a, const WCHAR* b);
typedef int32_t (*NameOrder)(const WCHAR* a, const WCHAR* b);

// Sorts `entries` by their names in `pool`.
void SortEntries(NameEntry* entries, uint32_t count, const WCHAR* pool, NameOrder order);
// Of names that differ only by case, keeps the first in byte order; the
// entries kept come first (folded order), their number is returned.
uint32_t DropCaseTwins(NameEntry* entries, uint32_t count, const WCHAR* pool);

}  // namespace sim::names
