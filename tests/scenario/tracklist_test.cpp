// The track list of the starting track's folder and the moves through it.
#include <filesystem>
#include <string>

#include "scenario.h"

namespace scenario {
namespace {

using TrackList = Scenario;

// A tap of a seek key (released within the second) changes the track.
void tap(uint8_t key) {
  sim::press(key);
  sim::release(key);
}

TEST_F(TrackList, ListsTheAudioFilesOfTheFolderAndFindsTheStartingOne) {
  for (const char* name : {"a.mp3", "b.M4A", "c.Mp3", "d.wav", ".mp3", "e", "f.mp3x"}) add_track(name);
  ASSERT_TRUE(start("c.Mp3"));
  // a.mp3, b.M4A, c.Mp3: the extension's case does not matter; a name whose
  // only dot is its first character has no extension.
  EXPECT_EQ(ps().count, 3);
  EXPECT_EQ(ps().cur, 2);
  EXPECT_EQ(track(), "c.Mp3");
}

TEST_F(TrackList, NextOnTheLastEntryWrapsToTheFirst) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) add_track(name);
  ASSERT_TRUE(start("c.mp3"));
  ASSERT_EQ(ps().cur, 2);
  tap(kSeekFwd);
  EXPECT_EQ(ps().cur, 0);
  EXPECT_EQ(track(), "a.mp3");
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
}

TEST_F(TrackList, BackOnTheFirstEntryWrapsToTheLast) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) add_track(name);
  ASSERT_TRUE(start("a.mp3"));
  tap(kSeekBack);
  EXPECT_EQ(ps().cur, 2);
  EXPECT_EQ(track(), "c.mp3");
  tap(kSeekBack);
  EXPECT_EQ(ps().cur, 1);
  EXPECT_EQ(track(), "b.mp3");
}

TEST_F(TrackList, OneTrackRestartsFromItsBeginning) {
  add_track("only.mp3");
  ASSERT_TRUE(start("only.mp3"));
  for (uint8_t key : {kSeekFwd, kSeekBack}) {
    seconds(5);
    tap(key);
    EXPECT_EQ(track(), "only.mp3");
    EXPECT_EQ(ps().timePosition, 0u);
    EXPECT_EQ(ps().count, 1);
    EXPECT_EQ(ps().cur, 0);
  }
  EXPECT_EQ(tracks_created().size(), 3u);
}

TEST_F(TrackList, AStartingFileOfAnotherTypeLeavesTheIndexAtZero) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "x.wav"}) add_track(name);
  ASSERT_TRUE(start("x.wav"));
  EXPECT_EQ(ps().count, 3);
  EXPECT_EQ(ps().cur, 0);
  EXPECT_EQ(track(), "x.wav");
  tap(kSeekFwd);
  EXPECT_EQ(track(), "b.mp3");
}

TEST_F(TrackList, OnlyTheNamePartOfThePathChanges) {
  std::filesystem::create_directories(host("mobile/audio/sub dir"));
  add_track("sub dir/one.mp3");
  add_track("sub dir/two.mp3");
  add_track("top.mp3");
  ASSERT_TRUE(start("sub dir/one.mp3"));
  EXPECT_EQ(ps().count, 2);
  tap(kSeekFwd);
  EXPECT_EQ(std::u16string(ps().filename), u"file://b/mobile/audio/sub dir/two.mp3");
  EXPECT_EQ(track(), "two.mp3");
}

// Names a slot cannot hold, or that would make the path longer than a path
// buffer, take no slot; the others are listed as usual.
TEST_F(TrackList, NamesTooLongForASlotOrAPathTakeNoSlot) {
  const std::string fits(123, 'n');      // 127 units with ".mp3"
  const std::string too_long(124, 'l');  // 128 units with ".mp3"
  add_track("a.mp3");
  add_track(fits + ".mp3");
  add_track(too_long + ".mp3");
  ASSERT_TRUE(start("a.mp3"));
  EXPECT_EQ(ps().count, 2);
  tap(kSeekBack);
  EXPECT_EQ(track(), fits + ".mp3");
}

TEST_F(TrackList, NamesThatWouldMakeThePathTooLongTakeNoSlot) {
  // A deep folder: "file://b/mobile/audio/" and 120 units of folder names.
  std::string folder = std::string(59, 'd') + "/" + std::string(59, 'e') + "/";
  std::filesystem::create_directories(host("mobile/audio/" + folder));
  const std::string fits(109, 'f');  // path of 22 + 120 + 113 = 255 units
  const std::string over(110, 'o');  // 256 units
  add_track(folder + "a.mp3");
  add_track(folder + fits + ".mp3");
  add_track(folder + over + ".mp3");
  ASSERT_TRUE(start(folder + "a.mp3"));
  EXPECT_EQ(ps().count, 2);
  tap(kSeekFwd);
  EXPECT_EQ(track(), fits + ".mp3");
  tap(kSeekFwd);
  EXPECT_EQ(track(), "a.mp3");
}

// A folder so deep that its search text would not fit the search buffer:
// the list stays empty and the track changes restart the track.
TEST_F(TrackList, AFolderTooDeepToSearchLeavesTheListEmpty) {
  std::string folder = std::string(100, 'p') + "/" + std::string(100, 'q') + "/" + std::string(16, 'r') + "/";
  std::filesystem::create_directories(host("mobile/audio/" + folder));
  add_track(folder + "a.mp3");
  add_track(folder + "b.mp3");
  ASSERT_TRUE(start(folder + "a.mp3"));  // a path of 22 + 219 + 5 = 246 units
  EXPECT_EQ(ps().count, 0);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
  tap(kSeekFwd);
  EXPECT_EQ(track(), "a.mp3");
  EXPECT_EQ(tracks_created().size(), 2u);
}

TEST_F(TrackList, AMissingFileBetweenOthersIsSkipped) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) add_track(name);
  ASSERT_TRUE(start("a.mp3"));
  remove_track("b.mp3");
  tap(kSeekFwd);
  EXPECT_EQ(track(), "c.mp3");
  EXPECT_EQ(ps().cur, 2);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
}

TEST_F(TrackList, WhenEveryFileIsMissingTheProgramEnds) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) add_track(name);
  ASSERT_TRUE(start("b.mp3"));
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) remove_track(name);
  tap(kSeekFwd);
  EXPECT_TRUE(sim::unload_requested());
  EXPECT_EQ(tracks_created().size(), 1u);
}

TEST_F(TrackList, AListOfOneMissingTrackEndsTheProgram) {
  add_track("a.mp3");
  ASSERT_TRUE(start("a.mp3"));
  remove_track("a.mp3");
  sim::end_track(1);
  EXPECT_TRUE(sim::unload_requested());
}

TEST_F(TrackList, AFolderWithoutAudioFilesLeavesTheListEmpty) {
  add_track("x.wav");
  ASSERT_TRUE(start("x.wav"));
  EXPECT_EQ(ps().count, 0);
  EXPECT_EQ(sim::memory_stats().live_blocks, 0u);
  tap(kSeekFwd);
  EXPECT_EQ(track(), "x.wav");
}

// A folder of 2000 tracks is listed whole, and the number shown is that of
// the track played among all of them; each track keeps its own length.
TEST_F(TrackList, AFolderOf2000TracksIsListedWhole) {
  add_track("t0001.mp3", 7);
  for (int i = 2; i <= 2000; ++i) {  // links: far quicker to make than files
    char name[16];
    snprintf(name, sizeof name, "t%04d.mp3", i);
    std::filesystem::create_hard_link(host("mobile/audio/t0001.mp3"), host(std::string("mobile/audio/") + name));
    sim::set_track_length((std::string(kAudio) + name).c_str(), 7000);
  }
  sim::canvas_log_clear();
  ASSERT_TRUE(start("t1500.mp3"));
  EXPECT_EQ(ps().count, 2000);
  EXPECT_EQ(ps().cur, 1499);
  EXPECT_EQ(ps().timeDuraction, 7u);
  bool shown = false;
  for (size_t i = 0; i < sim::canvas_log_size(); ++i) {
    const sim::CanvasCall& call = sim::canvas_log_at(i);
    shown |= call.op == sim::CanvasOp::DrawText && std::u16string(call.text, call.text_len) == u"1500/2000";
  }
  EXPECT_TRUE(shown);
}

// The whole folder in list mode: each track plays to its end and the next
// one follows, in the order of the list, and the list wraps.
TEST_F(TrackList, AFolderOfFiveTracksPlaysInOrderAndWraps) {
  const char* names[] = {"1 intro.mp3", "2 song.m4a", "3 song.mp3", "4 song.MP3", "5 outro.mp3"};
  for (const char* name : names) add_track(name, 4);
  ASSERT_TRUE(start("1 intro.mp3"));
  ASSERT_EQ(ps().count, 5);
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(track(), names[i % 5]);
    EXPECT_EQ(ps().cur, i % 5);
    seconds(3);
    EXPECT_EQ(ps().timePosition, 3u);
    seconds(1);  // the engine ends the track at its length
  }
  EXPECT_EQ(tracks_created().size(), 8u);
}

}  // namespace
}  // namespace scenario
