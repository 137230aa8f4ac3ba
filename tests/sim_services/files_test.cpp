// SPDX-License-Identifier: MIT
// Reading files of the phone's volume, mapped onto a temporary host folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "platform/filesystem.h"
#include "platform/firmware_vars.h"
#include "temp_tree.h"

namespace {

using zq_test::U16;

class Files : public testing::Test {
 protected:
  void SetUp() override {
    sim::internal::FsReset();
    ASSERT_TRUE(sim::SetRoot(tree_.Root().c_str()));
    tree_.Write("mobile/audio/lrc/Song.lrc", "0123456789");
    tree_.Write("mobile/audio/a.mp3", "");
  }
  void TearDown() override { sim::internal::FsReset(); }
  zq_test::TempTree tree_;
};

TEST_F(Files, ExistenceMeansAnExistingRegularFile) {
  struct Case {
    const char* uri;
    uint8_t exists;
  } cases[] = {
      {"file://b/mobile/audio/lrc/Song.lrc", 1},
      {"file://b/mobile/audio/a.mp3", 1},
      {"file://b/mobile/audio/lrc/Song.txt", 0},
      {"file://b/MOBILE/audio/lrc/song.LRC", 1},  // names ignore ASCII case, as on a FAT card
      {"file://b/mobile/audio/lrc/Song.lrc\xC3\xA9", 0},
      {"file://b/mobile/audio/lrc", 0},  // a folder
      {"file://b/mobile/audio/lrc/", 0},
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(DL_FsFFileExist(U16(c.uri).c_str()), c.exists) << c.uri;
  EXPECT_EQ(DL_FsFFileExist(nullptr), 0);
}

// Every way from a URI to a host file finds the name whatever its ASCII
// case; of names that differ only by case the first in byte order wins.
TEST_F(Files, NamesAreFoundWithoutRegardToAsciiCase) {
  for (const char* twin : {"twin.txt", "Twin.txt", "TWIN.txt"})
    tree_.Write(std::string("mobile/audio/lrc/") + twin, twin);
  tree_.Write("Other/a.txt", "a");
  tree_.Write("other/b.txt", "b");
  struct Case {
    const char* uri;
    const char* host;  // relative to the root
  } cases[] = {
      {"file://b/mobile/audio/lrc/song.lrc", "mobile/audio/lrc/Song.lrc"},
      {"file://b/Mobile/AUDIO/LRC/SONG.LRC", "mobile/audio/lrc/Song.lrc"},
      {"file://b/mobile/audio/lrc/twin.txt", "mobile/audio/lrc/TWIN.txt"},
      {"file://b/OTHER/a.txt", "Other/a.txt"},
      {"file://b/other/b.txt", "Other/b.txt"},  // the folder "other" is hidden by "Other"
      {"file://b/mobile/audio/LRC/\xC3\xA9.txt", "mobile/audio/lrc/\xC3\xA9.txt"},
  };
  for (const Case& c : cases) {
    std::u16string uri = U16(c.uri);
    char path[512];
    ASSERT_TRUE(sim::HostPath(uri.c_str(), path, sizeof path)) << c.uri;
    EXPECT_EQ(std::string(path), tree_.Root() + "/" + c.host) << c.uri;
    bool real = std::filesystem::exists(path);
    EXPECT_EQ(DL_FsFFileExist(uri.c_str()), real ? 1 : 0) << c.uri;
    FILE_HANDLE_T h = DL_FsOpenFile(uri.c_str(), 0, 0);
    EXPECT_EQ(h != FS_INVALID_HANDLE, real) << c.uri;
    if (h == FS_INVALID_HANDLE) continue;
    EXPECT_EQ(DL_FsGetFileSize(h), std::filesystem::file_size(path)) << c.uri;
    EXPECT_EQ(DL_FsCloseFile(h), 0u);
  }
}

// A lookup without regard to case lists each folder on the way once, however
// many names it finds there, and again only after the folder changed.
TEST_F(Files, EachFolderIsListedOnceWhileItDoesNotChange) {
  for (int k = 0; k < 200; ++k) tree_.Write("mobile/audio/lrc/T" + std::to_string(k) + ".lrc", "x");
  uint32_t before = sim::FolderListings();
  for (int round = 0; round < 2; ++round) {
    for (int k = 0; k < 200; ++k) {
      std::string name = "file://b/MOBILE/audio/lrc/t" + std::to_string(k) + (k % 2 ? ".LRC" : ".txt");
      EXPECT_EQ(DL_FsFFileExist(U16(name).c_str()), k % 2) << name;
    }
  }
  // The root, mobile, audio and lrc: listed once each.
  EXPECT_EQ(sim::FolderListings() - before, 4u);
  // A name the folder gains later is found, after one listing of that folder.
  std::filesystem::path lrc = std::filesystem::path(tree_.Root()) / "mobile/audio/lrc";
  auto stamp = std::filesystem::last_write_time(lrc);
  tree_.Write("mobile/audio/lrc/New.txt", "x");
  std::filesystem::last_write_time(lrc, stamp + std::chrono::seconds(1));  // past a coarse clock's tick
  EXPECT_EQ(DL_FsFFileExist(U16("file://b/mobile/audio/lrc/NEW.TXT").c_str()), 1);
  EXPECT_EQ(sim::FolderListings() - before, 5u);
}

// A mounted folder shows host folders elsewhere: the first that holds a name
// hides the others, and a name none holds stays as asked in the first.
TEST_F(Files, MountedFoldersAreSearchedInOrder) {
  tree_.Write("music/a.mp3", "");
  tree_.Write("music/lrc/A.lrc", "first");
  tree_.Write("music/a.LRC", "second");
  tree_.Write("music/b.txt", "beside");
  std::string music = tree_.Root() + "/music", lrc = music + "/lrc";
  const char* audio_dirs[] = {music.c_str()};
  const char* lyrics_dirs[] = {lrc.c_str(), music.c_str()};
  ASSERT_TRUE(sim::MountFolder("file://b/mobile/audio/", audio_dirs, 1));
  ASSERT_TRUE(sim::MountFolder("file://b/mobile/audio/lrc/", lyrics_dirs, 2));
  EXPECT_FALSE(sim::MountFolder("file://b/mobile/audio", audio_dirs, 1));  // no final "/"
  struct Case {
    const char* uri;
    const char* host;  // relative to the root
  } cases[] = {
      {"file://b/mobile/audio/A.MP3", "music/a.mp3"},
      {"file://b/Mobile/Audio/LRC/a.lrc", "music/lrc/A.lrc"},
      {"file://b/mobile/audio/lrc/B.TXT", "music/b.txt"},
      {"file://b/mobile/audio/lrc/none.lrc", "music/lrc/none.lrc"},
      {"file://b/mobile/other.txt", "mobile/other.txt"},
  };
  for (const Case& c : cases) {
    char path[512];
    ASSERT_TRUE(sim::HostPath(U16(c.uri).c_str(), path, sizeof path)) << c.uri;
    EXPECT_EQ(std::string(path), tree_.Root() + "/" + c.host) << c.uri;
  }
  sim::internal::FsReset();
  ASSERT_TRUE(sim::SetRoot(tree_.Root().c_str()));
  char path[512];  // the reset forgot the mounts
  ASSERT_TRUE(sim::HostPath(U16("file://b/mobile/audio/lrc/B.TXT").c_str(), path, sizeof path));
  EXPECT_EQ(std::string(path), tree_.Root() + "/mobile/audio/lrc/B.TXT");
}

TEST_F(Files, PathsOutsideTheRootAreNotFound) {
  tree_.Write("../zq_outside_secret", "x");
  const char* uris[] = {
      "file://b/../zq_outside_secret",
      "file://b/mobile/../../zq_outside_secret",
      "file://b/mobile/./audio/a.mp3",
      "file://b/mobile//audio/a.mp3",
      "file://a/mobile/audio/a.mp3",
      "file:///etc/passwd",
      "/etc/passwd",
      "mobile/audio/a.mp3",
      "file://b",
  };
  for (const char* uri : uris) {
    EXPECT_EQ(DL_FsFFileExist(U16(uri).c_str()), 0) << uri;
    EXPECT_EQ(DL_FsOpenFile(U16(uri).c_str(), 0, 0), FS_INVALID_HANDLE) << uri;
    char path[512];
    EXPECT_FALSE(sim::HostPath(U16(uri).c_str(), path, sizeof path)) << uri;
  }
  std::filesystem::remove(std::filesystem::path(tree_.Root()) / ".." / "zq_outside_secret");
}

TEST_F(Files, WithoutARootNothingIsFound) {
  sim::internal::FsReset();
  EXPECT_EQ(DL_FsFFileExist(U16("file://b/mobile/audio/a.mp3").c_str()), 0);
  EXPECT_FALSE(sim::SetRoot((tree_.Root() + "/no_such_folder").c_str()));
  EXPECT_EQ(DL_FsOpenFile(U16("file://b/mobile/audio/a.mp3").c_str(), 0, 0), FS_INVALID_HANDLE);
}

TEST_F(Files, HostPathJoinsTheRootAndTheRest) {
  ASSERT_TRUE(sim::SetRoot((tree_.Root() + "/").c_str()));  // a trailing "/" changes nothing
  char path[512];
  ASSERT_TRUE(sim::HostPath(U16("file://b/mobile/\xE6\xAD\x8C.mp3").c_str(), path, sizeof path));
  EXPECT_EQ(std::string(path), tree_.Root() + "/mobile/\xE6\xAD\x8C.mp3");
  char tiny[8];
  EXPECT_FALSE(sim::HostPath(U16("file://b/mobile/a.mp3").c_str(), tiny, sizeof tiny));
}

TEST_F(Files, ReadsSeeksAndSizes) {
  FILE_HANDLE_T h = DL_FsOpenFile(U16("file://b/mobile/audio/lrc/Song.lrc").c_str(), 0, 0);
  ASSERT_NE(h, FS_INVALID_HANDLE);
  EXPECT_EQ(DL_FsGetFileSize(h), 10u);

  struct Step {
    int32_t seek;  // -1: no seek
    uint32_t item_size, items;
    uint32_t items_read;
    const char* bytes;
  } steps[] = {
      {-1, 4, 1, 1, "0123"}, {-1, 2, 2, 2, "4567"}, {-1, 4, 1, 0, "89"},  // partial item: bytes, no item
      {-1, 1, 5, 0, ""},     {3, 1, 3, 3, "345"},   {0, 10, 1, 1, "0123456789"},
      {8, 1, 100, 2, "89"},  {50, 1, 1, 0, ""},     {2, 0, 5, 0, ""},
  };
  for (const Step& s : steps) {
    if (s.seek >= 0) {
      ASSERT_EQ(DL_FsFSeekFile(h, s.seek, 0), 0u);
    }
    char buf[128];
    std::memset(buf, '#', sizeof buf);
    uint32_t read = 0xDEAD;
    EXPECT_EQ(DL_FsReadFile(buf, s.item_size, s.items, h, &read), 0u);
    EXPECT_EQ(read, s.items_read) << s.bytes;
    std::string got(buf, std::strlen(s.bytes));
    EXPECT_EQ(got, s.bytes);
    EXPECT_EQ(buf[std::strlen(s.bytes)], '#') << "read past what the file holds";
  }
  EXPECT_NE(DL_FsFSeekFile(h, -1, 0), 0u);
  EXPECT_EQ(DL_FsCloseFile(h), 0u);
}

TEST_F(Files, SeeksFromTheCurrentPositionAndFromTheEnd) {
  FILE_HANDLE_T h = DL_FsOpenFile(U16("file://b/mobile/audio/lrc/Song.lrc").c_str(), 0, 0);
  ASSERT_NE(h, FS_INVALID_HANDLE);
  struct Step {
    int32_t offset;
    uint32_t whence;
    bool ok;
    char next;  // the byte read after the seek, 0 for none
  } steps[] = {
      {4, 0, true, '4'}, {2, 1, true, '7'},  {-3, 2, true, '7'}, {-1, 1, true, '7'},
      {0, 2, true, 0},   {-11, 2, false, 0}, {1, 7, false, 0},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(DL_FsFSeekFile(h, s.offset, s.whence) == 0, s.ok) << s.offset << " from " << s.whence;
    if (!s.ok) continue;
    char c = 0;
    uint32_t read = 0;
    ASSERT_EQ(DL_FsReadFile(&c, 1, 1, h, &read), 0u);
    EXPECT_EQ(read, s.next != 0 ? 1u : 0u);
    if (s.next != 0) {
      EXPECT_EQ(c, s.next) << s.offset << " from " << s.whence;
    }
  }
  EXPECT_EQ(DL_FsCloseFile(h), 0u);
}

TEST_F(Files, StaleAndUnknownHandlesAreRefused) {
  FILE_HANDLE_T h = DL_FsOpenFile(U16("file://b/mobile/audio/lrc/Song.lrc").c_str(), 0, 0);
  ASSERT_NE(h, FS_INVALID_HANDLE);
  ASSERT_EQ(DL_FsCloseFile(h), 0u);
  FILE_HANDLE_T again = DL_FsOpenFile(U16("file://b/mobile/audio/lrc/Song.lrc").c_str(), 0, 0);
  ASSERT_NE(again, FS_INVALID_HANDLE);
  EXPECT_NE(again, h);
  for (FILE_HANDLE_T bad : {h, (FILE_HANDLE_T)0, (FILE_HANDLE_T)FS_INVALID_HANDLE, (FILE_HANDLE_T)12345}) {
    char buf[4];
    uint32_t read = 77;
    EXPECT_NE(DL_FsReadFile(buf, 1, 4, bad, &read), 0u) << bad;
    EXPECT_EQ(read, 0u);
    EXPECT_NE(DL_FsCloseFile(bad), 0u);
    EXPECT_NE(DL_FsFSeekFile(bad, 0, 0), 0u);
    EXPECT_EQ(DL_FsGetFileSize(bad), 0u);
  }
  EXPECT_EQ(DL_FsCloseFile(again), 0u);
}

TEST_F(Files, OpenFilesAreLimitedAndFreedByClose) {
  std::vector<FILE_HANDLE_T> open;
  for (;;) {
    FILE_HANDLE_T h = DL_FsOpenFile(U16("file://b/mobile/audio/a.mp3").c_str(), 0, 0);
    if (h == FS_INVALID_HANDLE) break;
    open.push_back(h);
    ASSERT_LT(open.size(), 1000u);
  }
  EXPECT_GE(open.size(), 4u);
  ASSERT_EQ(DL_FsCloseFile(open.back()), 0u);
  open.pop_back();
  FILE_HANDLE_T h = DL_FsOpenFile(U16("file://b/mobile/audio/a.mp3").c_str(), 0, 0);
  EXPECT_NE(h, FS_INVALID_HANDLE);
  open.push_back(h);
  for (FILE_HANDLE_T x : open) EXPECT_EQ(DL_FsCloseFile(x), 0u);
}

std::vector<uint8_t> TableBytes() {
  std::vector<uint8_t> t(GB2UC_TABLE_BYTES);
  for (size_t i = 0; i < t.size(); ++i) t[i] = (uint8_t)(i * 7 + 3);
  return t;
}

TEST_F(Files, InstalledTableIsServedAsAReadOnlyFile) {
  std::vector<uint8_t> t = TableBytes();
  ASSERT_TRUE(sim::InstallGb2ucTable(t.data(), t.size()));
  for (const char* uri : {"file://b/ELF/gb2uc.map", "file://b/Elf/GB2UC.MAP"}) {
    EXPECT_EQ(DL_FsFFileExist(U16(uri).c_str()), 1) << uri;
    FILE_HANDLE_T h = DL_FsOpenFile(U16(uri).c_str(), 0, 0);
    ASSERT_NE(h, FS_INVALID_HANDLE) << uri;
    EXPECT_EQ(DL_FsGetFileSize(h), GB2UC_TABLE_BYTES);
    std::vector<uint8_t> got(GB2UC_TABLE_BYTES + 16, 0);
    uint32_t read = 0;
    EXPECT_EQ(DL_FsReadFile(got.data(), GB2UC_TABLE_BYTES + 16, 1, h, &read), 0u);
    EXPECT_EQ(read, 0u);  // the one item asked for is larger than the file
    EXPECT_TRUE(std::equal(t.begin(), t.end(), got.begin()));
    ASSERT_EQ(DL_FsFSeekFile(h, 100, 0), 0u);
    uint8_t two[2];
    EXPECT_EQ(DL_FsReadFile(two, 2, 1, h, &read), 0u);
    EXPECT_EQ(read, 1u);
    EXPECT_EQ(two[0], t[100]);
    EXPECT_EQ(two[1], t[101]);
    EXPECT_EQ(DL_FsCloseFile(h), 0u);
  }
  EXPECT_EQ(DL_FsFFileExist(U16("file://b/ELF/gb2uc.mapx").c_str()), 0);
}

TEST_F(Files, ARealTableFileTakesPrecedenceOverTheServedOne) {
  std::vector<uint8_t> t = TableBytes();
  ASSERT_TRUE(sim::InstallGb2ucTable(t.data(), t.size()));
  tree_.Write("ELF/gb2uc.map", "short");
  FILE_HANDLE_T h = DL_FsOpenFile(U16("file://b/ELF/gb2uc.map").c_str(), 0, 0);
  ASSERT_NE(h, FS_INVALID_HANDLE);
  EXPECT_EQ(DL_FsGetFileSize(h), 5u);
  EXPECT_EQ(DL_FsCloseFile(h), 0u);
}

TEST_F(Files, TablesOfTheWrongSizeAreRefused) {
  std::vector<uint8_t> t = TableBytes();
  EXPECT_FALSE(sim::InstallGb2ucTable(t.data(), t.size() - 1));
  EXPECT_FALSE(sim::InstallGb2ucTable(nullptr, t.size()));
  tree_.Write("short.map", std::string(100, 'x'));
  tree_.Write("long.map", std::string(GB2UC_TABLE_BYTES + 1, 'x'));
  tree_.Write("right.map", std::string(GB2UC_TABLE_BYTES, 'y'));
  EXPECT_FALSE(sim::InstallGb2ucFile((tree_.Root() + "/short.map").c_str()));
  EXPECT_FALSE(sim::InstallGb2ucFile((tree_.Root() + "/long.map").c_str()));
  EXPECT_FALSE(sim::InstallGb2ucFile((tree_.Root() + "/none.map").c_str()));
  EXPECT_TRUE(sim::InstallGb2ucFile((tree_.Root() + "/right.map").c_str()));
  ASSERT_NE(sim::internal::Gb2ucTable(), nullptr);
  EXPECT_EQ(sim::internal::Gb2ucTable()[GB2UC_TABLE_BYTES - 1], 'y');
}

// The log of file uses says what was looked for, opened and read (with the
// first bytes of a read from the start), and keeps the newest 32.
TEST_F(Files, TheFileLogKeepsWhatWasAskedFor) {
  const std::string lrc = "file://b/mobile/audio/lrc/Song.lrc", txt = "file://b/mobile/audio/lrc/Song.txt";
  DL_FsFFileExist(U16(txt).c_str());
  DL_FsFFileExist(U16(lrc).c_str());
  FILE_HANDLE_T h = DL_FsOpenFile(U16(lrc).c_str(), 0, 0);
  char buf[16];
  uint32_t n = 0;
  DL_FsReadFile(buf, 3, 1, h, &n);
  DL_FsReadFile(buf, 16, 1, h, &n);  // 7 bytes are left: not the whole item
  DL_FsCloseFile(h);
  DL_FsOpenFile(U16(txt).c_str(), 0, 0);
  struct Want {
    sim::FileUse use;
    bool ok;
    std::string uri;
    uint32_t bytes;
    std::string head;
  } want[] = {
      {sim::FileUse::kExists, false, txt, 0, ""}, {sim::FileUse::kExists, true, lrc, 0, ""},
      {sim::FileUse::kOpen, true, lrc, 10, ""},   {sim::FileUse::kRead, true, "", 3, "012"},
      {sim::FileUse::kRead, false, "", 7, ""},    {sim::FileUse::kOpen, false, txt, 0, ""},
  };
  ASSERT_EQ(sim::FileLogSize(), std::size(want));
  for (size_t i = 0; i < std::size(want); ++i) {
    const sim::FileUseRecord& r = sim::FileLogAt(i);
    SCOPED_TRACE(i);
    EXPECT_EQ(r.use, want[i].use);
    EXPECT_EQ(r.ok, want[i].ok);
    EXPECT_EQ(r.uri, want[i].uri);
    EXPECT_EQ(r.bytes, want[i].bytes);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.head), r.head_len), want[i].head);
    if (r.use == sim::FileUse::kRead) {
      EXPECT_EQ(r.handle, sim::FileLogAt(2).handle);
    }
  }
  for (int i = 0; i < 40; ++i) DL_FsFFileExist(U16(lrc).c_str());
  EXPECT_EQ(sim::FileLogSize(), 32u);
  EXPECT_TRUE(sim::FileLogAt(0).use == sim::FileUse::kExists && sim::FileLogAt(0).ok);  // the oldest went
  sim::internal::FsReset();
  EXPECT_EQ(sim::FileLogSize(), 0u);
}

}  // namespace
