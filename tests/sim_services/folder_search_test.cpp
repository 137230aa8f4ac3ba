// SPDX-License-Identifier: MIT
// Folder search with patterns, as the track list uses it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/filesystem.h"
#include "temp_tree.h"

namespace {

using zq_test::U16;
using zq_test::U8;

class FolderSearch : public testing::Test {
 protected:
  void SetUp() override {
    sim::internal::FsReset();
    ASSERT_TRUE(sim::SetRoot(tree_.Root().c_str()));
  }
  void TearDown() override { sim::internal::FsReset(); }

  // The search text the program builds: prefix, folder, then each pattern
  // behind the separator unit.
  static std::u16string SearchText(const std::string& folder, std::vector<std::string> patterns,
                                   const std::string& prefix = "file:/") {
    std::u16string s = U16(prefix + folder);
    for (const std::string& p : patterns) {
      s.push_back((char16_t)FS_PATTERN_SEPARATOR);
      s += U16(p);
    }
    return s;
  }

  // Runs a whole search; returns the result URIs, or fails the test.
  std::vector<std::string> Run(const std::u16string& text, uint32_t* status = nullptr) {
    FS_SEARCH_PARAMS_T params{FS_SEARCH_FLAGS, 0, 0, 0, 0};
    uint8_t handle = 0;
    uint16_t total = 0xFFFF;
    uint32_t r = DL_FsSSearch(params, text.c_str(), &handle, &total, 0);
    if (status != nullptr) *status = r;
    std::vector<std::string> names;
    if (r != 0) {
      EXPECT_EQ(total, 0);
      return names;
    }
    for (uint16_t i = 0; i < total; ++i) {
      FS_SEARCH_RESULT_T result;
      uint16_t count = 1;
      EXPECT_EQ(DL_FsSearchResults(handle, i, &count, &result), 0u);
      EXPECT_EQ(count, 1);
      names.push_back(U8(result.name));
    }
    EXPECT_EQ(DL_FsSearchClose(handle), 0u);
    return names;
  }
  zq_test::TempTree tree_;
};

TEST_F(FolderSearch, ListsMatchingFilesSortedWithFullUris) {
  // "B.mp3" and "b.mp3" are one name on a FAT card: the first in byte order stays.
  for (const char* n : {"b.mp3", "B.mp3", "a.m4a", "Song.Mp3", "c.MP3", "notes.txt", "mp3", "x.mp3.bak", ".mp3"})
    tree_.Write(std::string("mobile/audio/") + n, "data");
  tree_.Mkdir("mobile/audio/folder.mp3");  // folders are never results
  tree_.Write("mobile/audio/lrc/inner.mp3", "");
  std::vector<std::string> got = Run(SearchText("file://b/mobile/audio/", {"*.mp3", "*.m4a"}));
  std::vector<std::string> want = {
      "file://b/mobile/audio/.mp3",  "file://b/mobile/audio/B.mp3", "file://b/mobile/audio/Song.Mp3",
      "file://b/mobile/audio/a.m4a", "file://b/mobile/audio/c.MP3",
  };
  EXPECT_EQ(got, want);
}

TEST_F(FolderSearch, FileMatchingTwoPatternsIsListedOnce) {
  tree_.Write("m/one.mp3", "");
  tree_.Write("m/two.m4a", "");
  EXPECT_EQ(Run(SearchText("file://b/m/", {"*.mp3", "*.MP3", "*"})).size(), 2u);
}

TEST_F(FolderSearch, WithoutAPatternEveryFileIsAResult) {
  tree_.Write("m/x.mp3", "");
  tree_.Write("m/y.txt", "");
  const std::vector<std::string> want = {"file://b/m/x.mp3", "file://b/m/y.txt"};
  EXPECT_EQ(Run(SearchText("file://b/m/", {})), want);
}

TEST_F(FolderSearch, AcceptsTheFolderWithOrWithoutTheVolumePrefix) {
  tree_.Write("m/x.mp3", "");
  const std::vector<std::string> want = {"file://b/m/x.mp3"};
  EXPECT_EQ(Run(SearchText("file://b/m/", {"*.mp3"}, "file:/")), want);
  EXPECT_EQ(Run(SearchText("file://b/m/", {"*.mp3"}, "")), want);
  EXPECT_EQ(Run(SearchText("file://b/m", {"*.mp3"}, "file:/")), want);
  EXPECT_EQ(Run(SearchText("file://b/M/", {"*.mp3"})), want);  // as the card spells the folder
}

TEST_F(FolderSearch, MissingFolderIsAFailureWithoutAHandle) {
  tree_.Write("m/x.mp3", "");
  const std::u16string texts[] = {
      SearchText("file://b/none/", {"*.mp3"}),
      SearchText("file://b/../", {"*.mp3"}),
      SearchText("file://b/m/x.mp3/", {"*.mp3"}),  // a file, not a folder
      SearchText("", {"*.mp3"}, ""),
  };
  for (const std::u16string& t : texts) {
    uint32_t status = 0;
    EXPECT_TRUE(Run(t, &status).empty());
    EXPECT_NE(status, 0u) << U8(t.c_str());
  }
}

TEST_F(FolderSearch, NamesWhoseUriWouldNotFitAreLeftOut) {
  std::string folder = "file://b/m/";
  std::string fits(255 - folder.size() - 4, 'f');  // URI of exactly 255 units
  std::string too_long = fits + "x";
  tree_.Write("m/" + fits + ".mp3", "");
  tree_.Write("m/" + too_long + ".mp3", "");
  // Cut to fit just before a character beyond U+FFFF, this one would read
  // as a shorter name that is not in the folder.
  tree_.Write("m/" + std::string(fits.size(), 'g') + ".mp3\xF0\x9F\x8E\xB5", "");
  std::vector<std::string> got = Run(SearchText(folder, {"*.mp3"}));
  const std::vector<std::string> want = {folder + fits + ".mp3"};
  EXPECT_EQ(got, want);
}

TEST_F(FolderSearch, ResultsReportSizeAndRefuseBadHandlesAndIndexes) {
  tree_.Write("m/a.mp3", "12345");
  FS_SEARCH_PARAMS_T params{FS_SEARCH_FLAGS, 0, 0, 0, 0};
  uint8_t handle = 0;
  uint16_t total = 0;
  ASSERT_EQ(DL_FsSSearch(params, SearchText("file://b/m/", {"*.mp3"}).c_str(), &handle, &total, 0), 0u);
  ASSERT_EQ(total, 1);
  FS_SEARCH_RESULT_T r[2];
  uint16_t count = 2;  // more than there are: only what exists is given
  EXPECT_EQ(DL_FsSearchResults(handle, 0, &count, r), 0u);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(r[0].size, 5u);
  count = 1;
  EXPECT_NE(DL_FsSearchResults(handle, 1, &count, r), 0u);
  EXPECT_EQ(count, 0);
  count = 1;
  EXPECT_NE(DL_FsSearchResults((uint8_t)(handle + 1), 0, &count, r), 0u);
  EXPECT_EQ(DL_FsSearchClose(handle), 0u);
  count = 1;
  EXPECT_NE(DL_FsSearchResults(handle, 0, &count, r), 0u);
  EXPECT_NE(DL_FsSearchClose(handle), 0u);
}

TEST_F(FolderSearch, OpenSearchesAreLimitedAndEmptyFoldersGiveNoResults) {
  tree_.Mkdir("empty");
  FS_SEARCH_PARAMS_T params{FS_SEARCH_FLAGS, 0, 0, 0, 0};
  std::u16string text = SearchText("file://b/empty/", {"*.mp3"});
  std::vector<uint8_t> handles;
  for (int i = 0; i < 100; ++i) {
    uint8_t h = 0;
    uint16_t total = 9;
    if (DL_FsSSearch(params, text.c_str(), &h, &total, 0) != 0) break;
    EXPECT_EQ(total, 0);
    handles.push_back(h);
  }
  EXPECT_GE(handles.size(), 2u);
  EXPECT_LT(handles.size(), 100u);
  for (uint8_t h : handles) EXPECT_EQ(DL_FsSearchClose(h), 0u);
  uint8_t h = 0;
  uint16_t total = 0;
  EXPECT_EQ(DL_FsSSearch(params, text.c_str(), &h, &total, 0), 0u);
  EXPECT_EQ(DL_FsSearchClose(h), 0u);
}

// Every match is reported, far beyond what fixed tables used to hold, in
// name order whatever order the host lists them in.
TEST_F(FolderSearch, ReportsEveryMatchOfALargeFolder) {
  tree_.Write("m/2000.mp3", "");
  for (int i = 1999; i > 0; --i) {  // links: far quicker to make than files
    char name[32];
    snprintf(name, sizeof name, "/m/%04d.mp3", i);
    std::filesystem::create_hard_link(tree_.Root() + "/m/2000.mp3", tree_.Root() + name);
  }
  std::vector<std::string> got = Run(SearchText("file://b/m/", {"*.mp3"}));
  ASSERT_EQ(got.size(), 2000u);
  EXPECT_EQ(got.front(), "file://b/m/0001.mp3");
  EXPECT_EQ(got[1499], "file://b/m/1500.mp3");
  EXPECT_TRUE(std::is_sorted(got.begin(), got.end()));
}

}  // namespace
