// SPDX-License-Identifier: MIT
// The track list of the starting track's folder and the moves through it.
#include <filesystem>
#include <string>

#include "scenario.h"

namespace scenario {
namespace {

using TrackList = Scenario;

// A tap of a seek key (released within the second) changes the track.
void Tap(uint8_t key) {
  sim::Press(key);
  sim::Release(key);
}

TEST_F(TrackList, ListsTheAudioFilesOfTheFolderAndFindsTheStartingOne) {
  for (const char* name : {"a.mp3", "b.M4A", "c.Mp3", "d.wav", ".mp3", "e", "f.mp3x"}) AddTrack(name);
  ASSERT_TRUE(Start("c.Mp3"));
  // a.mp3, b.M4A, c.Mp3: the extension's case does not matter; a name whose
  // only dot is its first character has no extension.
  EXPECT_EQ(Ps().count, 3);
  EXPECT_EQ(Ps().cur, 2);
  EXPECT_EQ(Track(), "c.Mp3");
}

TEST_F(TrackList, NextOnTheLastEntryWrapsToTheFirst) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) AddTrack(name);
  ASSERT_TRUE(Start("c.mp3"));
  ASSERT_EQ(Ps().cur, 2);
  Tap(kSeekFwd);
  EXPECT_EQ(Ps().cur, 0);
  EXPECT_EQ(Track(), "a.mp3");
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
}

TEST_F(TrackList, BackOnTheFirstEntryWrapsToTheLast) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) AddTrack(name);
  ASSERT_TRUE(Start("a.mp3"));
  Tap(kSeekBack);
  EXPECT_EQ(Ps().cur, 2);
  EXPECT_EQ(Track(), "c.mp3");
  Tap(kSeekBack);
  EXPECT_EQ(Ps().cur, 1);
  EXPECT_EQ(Track(), "b.mp3");
}

TEST_F(TrackList, OneTrackRestartsFromItsBeginning) {
  AddTrack("only.mp3");
  ASSERT_TRUE(Start("only.mp3"));
  for (uint8_t key : {kSeekFwd, kSeekBack}) {
    Seconds(5);
    Tap(key);
    EXPECT_EQ(Track(), "only.mp3");
    EXPECT_EQ(Ps().timePosition, 0u);
    EXPECT_EQ(Ps().count, 1);
    EXPECT_EQ(Ps().cur, 0);
  }
  EXPECT_EQ(TracksCreated().size(), 3u);
}

TEST_F(TrackList, AStartingFileOfAnotherTypeLeavesTheIndexAtZero) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "x.wav"}) AddTrack(name);
  ASSERT_TRUE(Start("x.wav"));
  EXPECT_EQ(Ps().count, 3);
  EXPECT_EQ(Ps().cur, 0);
  EXPECT_EQ(Track(), "x.wav");
  Tap(kSeekFwd);
  EXPECT_EQ(Track(), "b.mp3");
}

TEST_F(TrackList, OnlyTheNamePartOfThePathChanges) {
  std::filesystem::create_directories(Host("mobile/audio/sub dir"));
  AddTrack("sub dir/one.mp3");
  AddTrack("sub dir/two.mp3");
  AddTrack("top.mp3");
  ASSERT_TRUE(Start("sub dir/one.mp3"));
  EXPECT_EQ(Ps().count, 2);
  Tap(kSeekFwd);
  EXPECT_EQ(std::u16string(Ps().filename), u"file://b/mobile/audio/sub dir/two.mp3");
  EXPECT_EQ(Track(), "two.mp3");
}

// Names a slot cannot hold, or that would make the path longer than a path
// buffer, take no slot; the others are listed as usual.
TEST_F(TrackList, NamesTooLongForASlotOrAPathTakeNoSlot) {
  const std::string fits(123, 'n');      // 127 units with ".mp3"
  const std::string too_long(124, 'l');  // 128 units with ".mp3"
  AddTrack("a.mp3");
  AddTrack(fits + ".mp3");
  AddTrack(too_long + ".mp3");
  ASSERT_TRUE(Start("a.mp3"));
  EXPECT_EQ(Ps().count, 2);
  Tap(kSeekBack);
  EXPECT_EQ(Track(), fits + ".mp3");
}

TEST_F(TrackList, NamesThatWouldMakeThePathTooLongTakeNoSlot) {
  // A deep folder: "file://b/mobile/audio/" and 120 units of folder names.
  std::string folder = std::string(59, 'd') + "/" + std::string(59, 'e') + "/";
  std::filesystem::create_directories(Host("mobile/audio/" + folder));
  const std::string fits(109, 'f');  // path of 22 + 120 + 113 = 255 units
  const std::string over(110, 'o');  // 256 units
  AddTrack(folder + "a.mp3");
  AddTrack(folder + fits + ".mp3");
  AddTrack(folder + over + ".mp3");
  ASSERT_TRUE(Start(folder + "a.mp3"));
  EXPECT_EQ(Ps().count, 2);
  Tap(kSeekFwd);
  EXPECT_EQ(Track(), fits + ".mp3");
  Tap(kSeekFwd);
  EXPECT_EQ(Track(), "a.mp3");
}

// A folder so deep that its search text would not fit the search buffer:
// the list stays empty and the track changes restart the track.
TEST_F(TrackList, AFolderTooDeepToSearchLeavesTheListEmpty) {
  std::string folder = std::string(100, 'p') + "/" + std::string(100, 'q') + "/" + std::string(16, 'r') + "/";
  std::filesystem::create_directories(Host("mobile/audio/" + folder));
  AddTrack(folder + "a.mp3");
  AddTrack(folder + "b.mp3");
  ASSERT_TRUE(Start(folder + "a.mp3"));  // a path of 22 + 219 + 5 = 246 units
  EXPECT_EQ(Ps().count, 0);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
  Tap(kSeekFwd);
  EXPECT_EQ(Track(), "a.mp3");
  EXPECT_EQ(TracksCreated().size(), 2u);
}

TEST_F(TrackList, AMissingFileBetweenOthersIsSkipped) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) AddTrack(name);
  ASSERT_TRUE(Start("a.mp3"));
  RemoveTrack("b.mp3");
  Tap(kSeekFwd);
  EXPECT_EQ(Track(), "c.mp3");
  EXPECT_EQ(Ps().cur, 2);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
}

TEST_F(TrackList, WhenEveryFileIsMissingTheProgramEnds) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) AddTrack(name);
  ASSERT_TRUE(Start("b.mp3"));
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) RemoveTrack(name);
  Tap(kSeekFwd);
  EXPECT_TRUE(sim::UnloadRequested());
  EXPECT_EQ(TracksCreated().size(), 1u);
}

TEST_F(TrackList, AListOfOneMissingTrackEndsTheProgram) {
  AddTrack("a.mp3");
  ASSERT_TRUE(Start("a.mp3"));
  RemoveTrack("a.mp3");
  sim::EndTrack(1);
  EXPECT_TRUE(sim::UnloadRequested());
}

TEST_F(TrackList, AFolderWithoutAudioFilesLeavesTheListEmpty) {
  AddTrack("x.wav");
  ASSERT_TRUE(Start("x.wav"));
  EXPECT_EQ(Ps().count, 0);
  EXPECT_EQ(sim::GetMemoryStats().live_blocks, 0u);
  Tap(kSeekFwd);
  EXPECT_EQ(Track(), "x.wav");
}

// A folder of 2000 tracks is listed whole, and the number shown is that of
// the track played among all of them; each track keeps its own length.
TEST_F(TrackList, AFolderOf2000TracksIsListedWhole) {
  AddTrack("t0001.mp3", 7);
  for (int i = 2; i <= 2000; ++i) {  // links: far quicker to make than files
    char name[16];
    snprintf(name, sizeof name, "t%04d.mp3", i);
    std::filesystem::create_hard_link(Host("mobile/audio/t0001.mp3"), Host(std::string("mobile/audio/") + name));
    sim::SetTrackLength((std::string(kAudio) + name).c_str(), 7000);
  }
  sim::CanvasLogClear();
  ASSERT_TRUE(Start("t1500.mp3"));
  EXPECT_EQ(Ps().count, 2000);
  EXPECT_EQ(Ps().cur, 1499);
  EXPECT_EQ(Ps().timeDuraction, 7u);
  bool shown = false;
  for (size_t i = 0; i < sim::CanvasLogSize(); ++i) {
    const sim::CanvasCall& call = sim::CanvasLogAt(i);
    shown |= call.op == sim::CanvasOp::kDrawText && std::u16string(call.text, call.text_len) == u"1500/2000";
  }
  EXPECT_TRUE(shown);
}

// The whole folder in list mode: each track plays to its end and the next
// one follows, in the order of the list, and the list wraps.
TEST_F(TrackList, AFolderOfFiveTracksPlaysInOrderAndWraps) {
  const char* names[] = {"1 intro.mp3", "2 song.m4a", "3 song.mp3", "4 song.MP3", "5 outro.mp3"};
  for (const char* name : names) AddTrack(name, 4);
  ASSERT_TRUE(Start("1 intro.mp3"));
  ASSERT_EQ(Ps().count, 5);
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Track(), names[i % 5]);
    EXPECT_EQ(Ps().cur, i % 5);
    Seconds(3);
    EXPECT_EQ(Ps().timePosition, 3u);
    Seconds(1);  // the engine ends the track at its length
  }
  EXPECT_EQ(TracksCreated().size(), 8u);
}

}  // namespace
}  // namespace scenario
