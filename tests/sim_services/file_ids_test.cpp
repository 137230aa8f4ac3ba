// SPDX-License-Identifier: MIT
// File identifiers: stable 8-byte values for URIs, and back to the URI.
#include <gtest/gtest.h>

#include <string>

#include "platform/filesystem.h"
#include "temp_tree.h"

namespace {

using zq_test::U16;
using zq_test::U8;

class FileIds : public testing::Test {
 protected:
  void SetUp() override {
    sim::internal::FsReset();
    ASSERT_TRUE(sim::SetRoot(tree_.Root().c_str()));
    tree_.Write("mobile/audio/a.mp3", "");
    tree_.Write("mobile/audio/\xE6\xAD\x8C.mp3", "");
    tree_.Write("deep/1/2/3/b.m4a", "");
  }
  void TearDown() override { sim::internal::FsReset(); }
  zq_test::TempTree tree_;
};

std::string TextOf(const uint8_t id[8]) {
  char text[17];
  sim::FileIdText(id, text);
  return text;
}

TEST_F(FileIds, AreTheUrisHashStoredMostSignificantByteFirst) {
  uint8_t id[8];
  ASSERT_TRUE(sim::FileId("file://b/mobile/audio/a.mp3", id));
  // FNV-1a 64 of the URI's bytes, computed here independently.
  uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : std::string("file://b/mobile/audio/a.mp3")) h = (h ^ c) * 0x100000001b3ull;
  char want[17];
  snprintf(want, sizeof want, "%016llX", (unsigned long long)h);
  EXPECT_EQ(TextOf(id), want);
  EXPECT_EQ(id[0], (uint8_t)(h >> 56));
  EXPECT_EQ(id[7], (uint8_t)h);
}

TEST_F(FileIds, TextIsSixteenUppercaseHexDigits) {
  const uint8_t id[8] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  EXPECT_EQ(TextOf(id), "0123456789ABCDEF");
}

// Back to the URI with the names' letter case as on the card, which is how
// the folder search spells them too.
TEST_F(FileIds, RoundTripToTheUriAsTheCardSpellsIt) {
  struct Case {
    const char* asked;
    const char* back;
  } cases[] = {
      {"file://b/mobile/audio/a.mp3", "file://b/mobile/audio/a.mp3"},
      {"file://b/mobile/audio/\xE6\xAD\x8C.mp3", "file://b/mobile/audio/\xE6\xAD\x8C.mp3"},
      {"file://b/deep/1/2/3/b.m4a", "file://b/deep/1/2/3/b.m4a"},
      {"file://b/Mobile/AUDIO/A.MP3", "file://b/mobile/audio/a.mp3"},
  };
  for (const Case& c : cases) {
    uint8_t id[8];
    ASSERT_TRUE(sim::FileId(c.asked, id)) << c.asked;
    WCHAR back[FS_URI_UNITS];
    EXPECT_EQ(DL_FsGetURIFromID(id, back), 0u) << c.asked;
    EXPECT_EQ(U8(back), c.back);
    uint8_t again[8];
    ASSERT_TRUE(sim::FileId(c.back, again));
    EXPECT_EQ(TextOf(id), TextOf(again)) << c.asked;
  }
}

TEST_F(FileIds, AreStableAcrossResetsAndFoundWithoutRegistering) {
  uint8_t first[8], second[8];
  ASSERT_TRUE(sim::FileId("file://b/deep/1/2/3/b.m4a", first));
  sim::internal::FsReset();
  ASSERT_TRUE(sim::SetRoot(tree_.Root().c_str()));
  // Not registered since the reset: the tree under the root is searched.
  WCHAR uri[FS_URI_UNITS];
  EXPECT_EQ(DL_FsGetURIFromID(first, uri), 0u);
  EXPECT_EQ(U8(uri), "file://b/deep/1/2/3/b.m4a");
  ASSERT_TRUE(sim::FileId("file://b/deep/1/2/3/b.m4a", second));
  EXPECT_EQ(TextOf(first), TextOf(second));
  uint8_t other[8];
  ASSERT_TRUE(sim::FileId("file://b/mobile/audio/a.mp3", other));
  EXPECT_NE(TextOf(first), TextOf(other));
}

TEST_F(FileIds, OnlyExistingFilesGetOne) {
  uint8_t id[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  const char* uris[] = {"file://b/mobile/audio/none.mp3", "file://b/mobile/audio", "file://b/../etc/passwd",
                        "/etc/passwd"};
  for (const char* uri : uris) EXPECT_FALSE(sim::FileId(uri, id)) << uri;
  EXPECT_EQ(id[0], 1);
}

TEST_F(FileIds, UnknownIdGivesTheUriOfNoFileAndAFailure) {
  const uint8_t id[8] = {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x11, 0x22, 0x33};
  WCHAR uri[FS_URI_UNITS];
  EXPECT_NE(DL_FsGetURIFromID(id, uri), 0u);
  EXPECT_EQ(U8(uri), "file://b/.missing/DEADBEEF00112233");
  EXPECT_EQ(DL_FsFFileExist(uri), 0);
}

TEST_F(FileIds, FilesDeletedAfterRegistrationStillGiveTheirUri) {
  uint8_t id[8];
  ASSERT_TRUE(sim::FileId("file://b/mobile/audio/a.mp3", id));
  std::filesystem::remove(std::filesystem::path(tree_.Root()) / "mobile/audio/a.mp3");
  WCHAR uri[FS_URI_UNITS];
  EXPECT_EQ(DL_FsGetURIFromID(id, uri), 0u);
  EXPECT_EQ(U8(uri), "file://b/mobile/audio/a.mp3");
  EXPECT_EQ(DL_FsFFileExist(uri), 0);
}

}  // namespace
