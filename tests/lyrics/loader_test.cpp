// SPDX-License-Identifier: MIT
// Finding and loading the current track's lyrics file: which file is read,
// and what the player state holds afterwards.
#include "lyrics/loader.h"

#include <gtest/gtest.h>

#include <string>

#include "app/player_state.h"
#include "lyrics_fixture.h"

namespace lyrics_test {
namespace {

LRC* const kUntouched = reinterpret_cast<LRC*>(static_cast<uintptr_t>(0x5EED));

class LoaderTest : public LyricsTest {
 protected:
  // Loads the lyrics of the track, starting from a status and record that no
  // load would leave, so that whatever the loader writes shows.
  void Load(const std::u16string& track) {
    ASSERT_LT(track.size(), (size_t)ZQ_PATH_UNITS);
    for (size_t k = 0; k <= track.size(); ++k) player.filename[k] = k < track.size() ? track[k] : 0;
    player.iRet = 0xEE;
    player.lrc = kUntouched;
    GetLRCFile();
  }
  // Takes the record the loader left; the test owns it from here.
  Record TakeRecord() {
    EXPECT_NE(player.lrc, nullptr);
    EXPECT_NE(player.lrc, kUntouched);
    if (player.lrc == nullptr || player.lrc == kUntouched) return Record();
    Record r = Snapshot(player.lrc);
    DESTROY_LRC(&player.lrc);
    return r;
  }
  void WriteLyrics(const std::string& name, const std::u16string& text) const {
    Folder().Write("mobile/audio/lrc/" + name, Utf8(text, true));
  }
  void TearDown() override {
    if (player.lrc == kUntouched) player.lrc = nullptr;
    LyricsTest::TearDown();
  }
};

TEST_F(LoaderTest, LrcFileIsReadBeforeTxtFile) {
  WriteLyrics("Song.lrc", u"[00:01]from lrc");
  WriteLyrics("Song.txt", u"[00:01]from txt");
  Load(u"file://b/mobile/audio/Song.mp3");
  EXPECT_EQ(player.iRet, kLrcLoaded);
  EXPECT_EQ(TakeRecord().lines.at(0), u"from lrc");
}

TEST_F(LoaderTest, LookupByTrackName) {
  struct Case {
    const char* name;
    std::u16string track;
    std::string file;  // the one lyrics file present
  };
  const Case cases[] = {
      {"TxtAlone", u"file://b/mobile/audio/Song.mp3", "Song.txt"},
      {"ExtensionCutByLengthNotName", u"file://b/mobile/audio/Song.MP3", "Song.lrc"},
      {"FourUnitExtension", u"file://b/mobile/audio/Song.flac", "Song.flrc"},
      {"TrackInAnotherFolder", u"file://b/music/album/Song.m4a", "Song.lrc"},
      {"ChineseName", u"file://b/mobile/audio/静夜思.mp3", "静夜思.lrc"},
      {"NameInOtherLetterCase", u"file://b/mobile/audio/Song.mp3", "Song.LRC"},  // a FAT card ignores it
      {"NameInLowerCase", u"file://b/mobile/audio/Song.mp3", "song.lrc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteLyrics(c.file, u"[00:02]found");
    Load(c.track);
    EXPECT_EQ(player.iRet, kLrcLoaded);
    EXPECT_EQ(TakeRecord().lines.at(0), u"found");
    Folder().Remove("mobile/audio/lrc/" + c.file);
  }
}

TEST_F(LoaderTest, FailuresBeforeTheParserLeaveTheRecordAlone) {
  struct Case {
    const char* name;
    std::u16string track;
    Bytes contents;  // of Song.lrc; none when empty and not `present`
    bool present;
    uint8_t status;
  };
  const Case cases[] = {
      {"NoLyricsFile", u"file://b/mobile/audio/Song.mp3", {}, false, kLrcErrNoFile},
      {"EmptyFile", u"file://b/mobile/audio/Song.mp3", {}, true, kLrcErrFile},
      {"TooLongForTheParser", u"file://b/mobile/audio/Song.mp3", Bytes(65535, 0x41), true, kLrcErrFile},
      {"NameWithoutFolder", u"Song.mp3", {}, false, kLrcErrNoFile},
      {"PathPastTheBuffer", u"file://b/mobile/audio/" + std::u16string(226, u'a') + u".mp3", {}, false, kLrcErrNoFile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.present) Folder().Write("mobile/audio/lrc/Song.lrc", c.contents);
    Load(c.track);
    EXPECT_EQ(player.iRet, c.status);
    EXPECT_EQ(player.lrc, kUntouched);
    Folder().Remove("mobile/audio/lrc/Song.lrc");
  }
}

TEST_F(LoaderTest, LongestNameThatFitsIsStillLookedUp) {
  // 26 units of folder and 229 of name: 255 units, the most the path holds.
  std::string stem(225, 'a');
  WriteLyrics(stem + ".lrc", u"[00:01]long");
  Load(u"file://b/mobile/audio/" + std::u16string(stem.begin(), stem.end()) + u".mp3");
  EXPECT_EQ(player.iRet, kLrcLoaded);
  EXPECT_EQ(TakeRecord().lines.at(0), u"long");
}

TEST_F(LoaderTest, EncryptedFileLeavesNoRecord) {
  WriteLyrics("Song.lrc", u"[key:0123]\n[00:01]a");
  Load(u"file://b/mobile/audio/Song.mp3");
  EXPECT_EQ(player.iRet, kLrcErrEncrypted);
  EXPECT_EQ(player.lrc, nullptr);
}

TEST_F(LoaderTest, NoMemoryForTheContentsIsAMemoryError) {
  WriteLyrics("Song.lrc", u"[00:01]a");
  sim::FailAllocation(1);
  Load(u"file://b/mobile/audio/Song.mp3");
  EXPECT_EQ(player.iRet, kLrcErrMemory);
  EXPECT_EQ(player.lrc, kUntouched);
}

TEST_F(LoaderTest, ParserFailureLeavesANullRecordAndItsStatus) {
  WriteLyrics("Song.lrc", u"[00:01]a\n[12]b");
  Load(u"file://b/mobile/audio/Song.mp3");
  EXPECT_EQ(player.iRet, kLrcErrFile);
  EXPECT_EQ(player.lrc, nullptr);
}

}  // namespace
}  // namespace lyrics_test
