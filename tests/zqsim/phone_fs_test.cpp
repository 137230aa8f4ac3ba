// SPDX-License-Identifier: MIT
// The phone file system zqsim builds for a run: linked tracks and lyrics in
// the phone's folders, the start track, and clear refusals.
#include "tools/zqsim/phone_fs.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class PhoneFsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zqsim_fs_test.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    fs::create_directories(dir_ / "music" / "lrc");
    Touch("music/b.mp3");
    Touch("music/a.M4A");
    Touch("music/notes.doc");
    Touch("music/b.lrc");      // beside the tracks
    Touch("music/lrc/a.txt");  // in the lyrics subfolder
    Touch("music/lrc/b.lrc");  // both places: the subfolder's wins
    Touch("music/lrc/readme.md");
    Touch("gb2uc.map");
  }
  void TearDown() override {
    zqsim::RemovePhoneFs(&made_);
    fs::remove_all(dir_);
  }
  void Touch(const char* rel) { std::ofstream(dir_ / rel) << rel; }

  fs::path dir_;
  zqsim::PhoneFs made_;
};

}  // namespace

TEST_F(PhoneFsTest, FolderStartsWithItsFirstTrackInNameOrder) {
  // First by name, but too long a name for the player's list: passed over.
  Touch(("music/" + std::string(124, '0') + ".mp3").c_str());
  std::string error;
  ASSERT_TRUE(zqsim::MakePhoneFs((dir_ / "music").string(), "", (dir_ / "gb2uc.map").string(), &made_, &error))
      << error;
  EXPECT_EQ(made_.start_uri, "file://b/mobile/audio/a.M4A");
  fs::path root = made_.root;
  EXPECT_EQ(made_.temp_dir, made_.root);
  // Every file of the folder is linked, not copied.
  for (const char* name : {"a.M4A", "b.mp3", "notes.doc"}) {
    fs::path p = root / "mobile/audio" / name;
    EXPECT_TRUE(fs::is_symlink(p)) << name;
    EXPECT_EQ(fs::read_symlink(p), dir_ / "music" / name) << name;
  }
  // Lyrics from both places; the lyrics subfolder wins a clash.
  EXPECT_EQ(fs::read_symlink(root / "mobile/audio/lrc/a.txt"), dir_ / "music/lrc/a.txt");
  EXPECT_EQ(fs::read_symlink(root / "mobile/audio/lrc/b.lrc"), dir_ / "music/lrc/b.lrc");
  EXPECT_FALSE(fs::exists(root / "mobile/audio/lrc/readme.md"));
  EXPECT_EQ(fs::read_symlink(root / "ELF/gb2uc.map"), dir_ / "gb2uc.map");
}

TEST_F(PhoneFsTest, FileStartsWithItselfAndRemovalLeavesTheTracks) {
  std::string error;
  ASSERT_TRUE(zqsim::MakePhoneFs((dir_ / "music/b.mp3").string(), "", "", &made_, &error)) << error;
  EXPECT_EQ(made_.start_uri, "file://b/mobile/audio/b.mp3");
  std::string temp = made_.temp_dir;
  EXPECT_FALSE(fs::exists(fs::path(temp) / "ELF/gb2uc.map"));  // no table given
  zqsim::RemovePhoneFs(&made_);
  EXPECT_FALSE(fs::exists(temp));
  EXPECT_TRUE(fs::exists(dir_ / "music/b.mp3"));
  EXPECT_TRUE(fs::exists(dir_ / "music/lrc/b.lrc"));
}

TEST_F(PhoneFsTest, RootFolderIsUsedAsItIs) {
  std::string error;
  ASSERT_TRUE(zqsim::MakePhoneFs((dir_ / "music/b.mp3").string(), dir_.string(), "", &made_, &error)) << error;
  EXPECT_EQ(made_.root, fs::canonical(dir_).string());
  EXPECT_EQ(made_.start_uri, "file://b/music/b.mp3");
  EXPECT_TRUE(made_.temp_dir.empty());
}

TEST_F(PhoneFsTest, BadStartsAreRefusedWithAReason) {
  fs::create_directories(dir_ / "empty");
  fs::create_directories(dir_ / "other");
  fs::create_directories(dir_ / "long");
  Touch(("long/" + std::string(124, 'l') + ".mp3").c_str());
  struct Case {
    std::string path, root, message_part;
  };
  const Case cases[] = {
      {(dir_ / "missing").string(), "", "no such file or folder"},
      {(dir_ / "empty").string(), "", "no *.mp3 or *.m4a"},
      {(dir_ / "long").string(), "", "that the player lists: it takes names of at most 127 units"},
      {(dir_ / "music/notes.doc").string(), "", "is not an *.mp3 or *.m4a"},
      {(dir_ / "music/b.mp3").string(), (dir_ / "other").string(), "does not lie in the root"},
      {(dir_ / "music/b.mp3").string(), (dir_ / "nowhere").string(), "no such folder"},
  };
  for (const Case& c : cases) {
    zqsim::PhoneFs out;
    out.root = "untouched";
    std::string error;
    EXPECT_FALSE(zqsim::MakePhoneFs(c.path, c.root, "", &out, &error)) << c.path;
    EXPECT_NE(error.find(c.message_part), std::string::npos) << error;
    EXPECT_EQ(out.root, "untouched");
  }
}

TEST(PhoneFsNames, AudioAndLyricsNamesAreKnownByTheirEnding) {
  struct Case {
    const char* name;
    bool audio, lyrics;
  } cases[] = {{"a.mp3", true, false}, {"a.M4A", true, false}, {"a.lrc", false, true},      {"a.TXT", false, true},
               {".mp3", false, false}, {"mp3", false, false},  {"a.mp3.bak", false, false}, {"a.wav", false, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(zqsim::IsAudioName(c.name), c.audio) << c.name;
    EXPECT_EQ(zqsim::IsLyricsName(c.name), c.lyrics) << c.name;
  }
}
