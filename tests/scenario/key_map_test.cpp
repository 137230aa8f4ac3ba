// SPDX-License-Identifier: MIT
// Every row of the key maps, in each of the three contexts a key is judged
// in: the player's screen, the idle screen (working table) with the screen
// hidden, and another application in front with the screen hidden.
#include "scenario.h"

namespace scenario {
namespace {

enum class Context { kScreen, WorkingTable, kBackground };

const char* NameOf(Context c) {
  switch (c) {
    case Context::kScreen:
      return "screen";
    case Context::WorkingTable:
      return "working table";
    default:
      return "background";
  }
}

enum class Act {
  kNone,
  kVolumeUp,
  kVolumeDown,
  kPlayPause,
  kStop,
  kSeekBackDown,
  kSeekForwardDown,
  kStarDown,
  kPlayMode,
  kExit,
  kShowScreen,
  kHoldNext,
  kHoldBack,
  kCloseScreen,  // the shell's own close key
  // releases
  kTrackNext,
  kTrackBack,
  kStarUp,
};

struct KeyRow {
  uint8_t key;
  Context context;
  Act act;
  bool consumed;  // by the player
};

class KeyMap : public Scenario {
 protected:
  // Three tracks, a.mp3 playing for three seconds, in the row's context.
  void Arrange(Context context) {
    RestartMachine();
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) AddTrack(name);
    ASSERT_TRUE(Start("a.mp3"));
    Seconds(3);
    if (context != Context::kScreen) CloseScreen();
    sim::SetFront(context == Context::kBackground ? sim::Front::kOther : sim::Front::kIdle);
    ClearFacts();
  }

  // What the row's action leaves behind, and that nothing else changed.
  void Check(const KeyRow& row) {
    const bool ended = row.act == Act::kExit;
    EXPECT_EQ(sim::UnloadRequested(), ended);
    if (ended) return;
    const PlayerState& p = Ps();
    uint8_t state = kPlayerPlaying;
    if (row.act == Act::kPlayPause) state = kPlayerPaused;
    if (row.act == Act::kStop) state = kPlayerStopped;
    EXPECT_EQ(p.State_Player, state);
    uint8_t volume = 4;
    if (row.act == Act::kVolumeUp) volume = 5;
    if (row.act == Act::kVolumeDown) volume = 3;
    EXPECT_EQ(sim::Volume(AUD_VOLUME_TYPE_DEFAULT), volume);
    EXPECT_EQ(p.circle_s, row.act == Act::kPlayMode ? kModeSingle : kModeList);
    EXPECT_EQ(p.timeStarPress, row.act == Act::kStarDown ? 3u : 0u);
    EXPECT_EQ(sim::ShellStarts(), row.act == Act::kShowScreen || row.act == Act::kStarUp ? 2u : 1u);
    if (row.act == Act::kShowScreen || row.act == Act::kStarUp) {
      EXPECT_EQ(p.isCanvas, 1);
    }
    if (row.act == Act::kCloseScreen) {
      EXPECT_EQ(p.isCanvas, 0);
    }

    const char* now_playing = "a.mp3";
    if (row.act == Act::kTrackNext) now_playing = "b.mp3";
    if (row.act == Act::kTrackBack) now_playing = "c.mp3";
    EXPECT_EQ(Track(), now_playing);

    uint32_t timer = 0;  // the playback timer runs on
    bool timer_on = row.act != Act::kStop && row.act != Act::kPlayPause;
    if (row.act == Act::kSeekBackDown || row.act == Act::kSeekForwardDown) timer = 2;
    if (row.act == Act::kHoldNext) timer = 4;
    if (row.act == Act::kHoldBack) timer = 5;
    sim::AppInfo info = PlayerApp();
    EXPECT_EQ(info.timer_running, timer_on);
    if (timer_on) {
      EXPECT_EQ(info.timer_id, timer);
    }
    if (timer == 2) {
      EXPECT_EQ(p.Z, row.act == Act::kSeekBackDown ? -1 : 1);
    }
  }
};

TEST_F(KeyMap, PressesActAndAreConsumedAsTheMapSays) {
  using C = Context;
  const KeyRow rows[] = {
      // the player's screen
      {0x01, C::kScreen, Act::kVolumeUp, true},
      {0x02, C::kScreen, Act::kPlayPause, true},
      {0x04, C::kScreen, Act::kSeekBackDown, true},
      {0x06, C::kScreen, Act::kSeekForwardDown, true},
      {0x07, C::kScreen, Act::kVolumeDown, true},
      {0x08, C::kScreen, Act::kStop, true},
      {0x0A, C::kScreen, Act::kStarDown, false},  // and the shell closes
      {0x0B, C::kScreen, Act::kPlayMode, false},
      {0x0E, C::kScreen, Act::kExit, false},
      {0x0F, C::kScreen, Act::kCloseScreen, false},
      {0x11, C::kScreen, Act::kExit, false},
      {0x15, C::kScreen, Act::kNone, false},
      {0x17, C::kScreen, Act::kVolumeUp, true},
      {0x18, C::kScreen, Act::kVolumeDown, true},
      {0x2C, C::kScreen, Act::kPlayPause, true},
      {0x2D, C::kScreen, Act::kStop, true},
      {0x2E, C::kScreen, Act::kSeekBackDown, true},
      {0x2F, C::kScreen, Act::kSeekForwardDown, true},
      {0x03, C::kScreen, Act::kNone, false},
      {0x05, C::kScreen, Act::kNone, false},
      {0x30, C::kScreen, Act::kNone, false},
      // the idle screen: the keypad belongs to the phone
      {0x01, C::WorkingTable, Act::kNone, false},
      {0x02, C::WorkingTable, Act::kNone, false},
      {0x04, C::WorkingTable, Act::kNone, false},
      {0x06, C::WorkingTable, Act::kNone, false},
      {0x07, C::WorkingTable, Act::kNone, false},
      {0x08, C::WorkingTable, Act::kNone, false},
      {0x0A, C::WorkingTable, Act::kStarDown, false},
      {0x0B, C::WorkingTable, Act::kNone, false},
      {0x0E, C::WorkingTable, Act::kNone, false},
      {0x11, C::WorkingTable, Act::kExit, false},
      {0x15, C::WorkingTable, Act::kNone, false},
      {0x17, C::WorkingTable, Act::kVolumeUp, true},
      {0x18, C::WorkingTable, Act::kVolumeDown, true},
      {0x2C, C::WorkingTable, Act::kPlayPause, true},
      {0x2D, C::WorkingTable, Act::kShowScreen, true},
      {0x2E, C::WorkingTable, Act::kSeekBackDown, true},
      {0x2F, C::WorkingTable, Act::kSeekForwardDown, true},
      {0x03, C::WorkingTable, Act::kNone, false},
      // another application in front
      {0x01, C::kBackground, Act::kNone, false},
      {0x02, C::kBackground, Act::kNone, false},
      {0x04, C::kBackground, Act::kNone, false},
      {0x06, C::kBackground, Act::kNone, false},
      {0x07, C::kBackground, Act::kNone, false},
      {0x08, C::kBackground, Act::kNone, false},
      {0x0A, C::kBackground, Act::kStarDown, false},
      {0x0B, C::kBackground, Act::kNone, false},
      {0x0E, C::kBackground, Act::kNone, false},
      {0x11, C::kBackground, Act::kNone, false},
      {0x15, C::kBackground, Act::kPlayPause, true},
      {0x17, C::kBackground, Act::kHoldNext, false},
      {0x18, C::kBackground, Act::kHoldBack, false},
      {0x2C, C::kBackground, Act::kNone, false},
      {0x2D, C::kBackground, Act::kNone, false},
      {0x2E, C::kBackground, Act::kNone, false},
      {0x2F, C::kBackground, Act::kNone, false},
      {0x03, C::kBackground, Act::kNone, false},
  };
  for (const KeyRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "press 0x" << std::hex << int(row.key) << " on the " << NameOf(row.context));
    Arrange(row.context);
    sim::KeyResult r = sim::Press(row.key);
    EXPECT_EQ(r.consumed && r.taker == sim::KeyTaker::kPlayer, row.consumed);
    Check(row);
    EndProgram();
    EXPECT_EQ(sim::LeakedBlocks(), 0u);
  }
}

TEST_F(KeyMap, ReleasesActAsTheMapSaysAndAreNeverConsumed) {
  using C = Context;
  // No press comes first: a seek key's release without a hold changes the
  // track, and the star's release compares with the press recorded at 0.
  const KeyRow rows[] = {
      {0x04, C::kScreen, Act::kTrackBack, false},      {0x06, C::kScreen, Act::kTrackNext, false},
      {0x0A, C::kScreen, Act::kNone, false},           {0x2E, C::kScreen, Act::kTrackBack, false},
      {0x2F, C::kScreen, Act::kTrackNext, false},      {0x02, C::kScreen, Act::kNone, false},
      {0x17, C::kScreen, Act::kNone, false},           {0x04, C::WorkingTable, Act::kNone, false},
      {0x06, C::WorkingTable, Act::kNone, false},      {0x0A, C::WorkingTable, Act::kStarUp, false},
      {0x2E, C::WorkingTable, Act::kTrackBack, false}, {0x2F, C::WorkingTable, Act::kTrackNext, false},
      {0x17, C::WorkingTable, Act::kNone, false},      {0x04, C::kBackground, Act::kNone, false},
      {0x06, C::kBackground, Act::kNone, false},       {0x0A, C::kBackground, Act::kStarUp, false},
      {0x2E, C::kBackground, Act::kNone, false},       {0x2F, C::kBackground, Act::kNone, false},
      {0x17, C::kBackground, Act::kNone, false},       {0x18, C::kBackground, Act::kNone, false},
  };
  for (const KeyRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "release 0x" << std::hex << int(row.key) << " on the " << NameOf(row.context));
    Arrange(row.context);
    sim::KeyResult r = sim::Release(row.key);
    EXPECT_FALSE(r.consumed);
    Check(row);
    EndProgram();
    EXPECT_EQ(sim::LeakedBlocks(), 0u);
  }
}

}  // namespace
}  // namespace scenario
