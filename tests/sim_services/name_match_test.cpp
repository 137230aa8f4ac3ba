// SPDX-License-Identifier: MIT
// The folder search's names on their own: patterns and the order of results.
#include "sim/name_match.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sim/fs_paths.h"
#include "temp_tree.h"

namespace {

using sim::names::NameEntry;
using zq_test::U16;
using zq_test::U8;

// The names of `pool` (zero-ended, one after another) that `pattern`
// matches, sorted as the search reports them.
std::vector<std::string> Matching(const char* pattern, const std::vector<std::string>& names) {
  std::u16string text = u"file://b/m/";
  text.push_back(static_cast<char16_t>(FS_PATTERN_SEPARATOR));
  text += U16(pattern);
  WCHAR folder[sim::fs::kUriUnits];
  uint32_t folder_units = 0, pattern_count = 0;
  sim::names::Pattern patterns[sim::names::kMaxPatterns];
  EXPECT_TRUE(sim::names::ParseSearchText(text.c_str(), folder, &folder_units, patterns, &pattern_count));
  std::u16string pool;
  std::vector<NameEntry> entries;
  for (const std::string& name : names) {
    std::u16string units = U16(name);
    bool match = false;
    for (uint32_t i = 0; i < pattern_count; ++i)
      match = match || sim::names::Glob(patterns[i], units.c_str(), static_cast<uint32_t>(units.size()));
    if (!match) continue;
    entries.push_back(NameEntry{static_cast<uint32_t>(pool.size()), 0});
    pool += units;
    pool.push_back(0);
  }
  sim::names::SortEntries(entries.data(), static_cast<uint32_t>(entries.size()), pool.c_str(),
                          sim::names::CompareNames);
  std::vector<std::string> got;
  for (const NameEntry& e : entries) got.push_back(U8(pool.c_str() + e.name_at));
  return got;
}

TEST(NameMatch, PatternsTakeStarsAndQuestionMarks) {
  // A host name may hold a star; the pattern's star still matches anything.
  const std::vector<std::string> names = {"a.mp3", "ab.mp3", "abc.mp3", "b.mp4", "track01.m4a", "*x.mp3"};
  struct Case {
    const char* pattern;
    std::vector<std::string> names;
  } cases[] = {
      {"?.mp3", {"a.mp3"}},
      {"a*.mp3", {"a.mp3", "ab.mp3", "abc.mp3"}},
      {"*.mp?", {"*x.mp3", "a.mp3", "ab.mp3", "abc.mp3", "b.mp4"}},
      {"TRACK*", {"track01.m4a"}},
      {"*b*", {"ab.mp3", "abc.mp3", "b.mp4"}},
      {"*.ogg", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Matching(c.pattern, names), c.names) << c.pattern;
}

TEST(NameMatch, SortsNonAsciiNamesByTheirUtf8Bytes) {
  // U+E000 (private use) sorts before U+1F3B5 in UTF-8, but after it in raw
  // UTF-16 units; U+00E9 before both.
  const std::vector<std::string> want = {"z.mp3", "\xC3\xA9.mp3", "\xEE\x80\x80.mp3", "\xF0\x9F\x8E\xB5.mp3"};
  std::vector<std::string> names = want;
  std::reverse(names.begin(), names.end());
  EXPECT_EQ(Matching("*.mp3", names), want);
}

}  // namespace
