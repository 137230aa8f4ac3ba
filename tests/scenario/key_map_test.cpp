// Every row of the key maps, in each of the three contexts a key is judged
// in: the player's screen, the idle screen (working table) with the screen
// hidden, and another application in front with the screen hidden.
#include "scenario.h"

namespace scenario {
namespace {

enum class Context { Screen, WorkingTable, Background };

const char* name_of(Context c) {
  switch (c) {
    case Context::Screen:
      return "screen";
    case Context::WorkingTable:
      return "working table";
    default:
      return "background";
  }
}

enum class Act {
  None,
  VolumeUp,
  VolumeDown,
  PlayPause,
  Stop,
  SeekBackDown,
  SeekForwardDown,
  StarDown,
  PlayMode,
  Exit,
  ShowScreen,
  HoldNext,
  HoldBack,
  CloseScreen,  // the shell's own close key
  // releases
  TrackNext,
  TrackBack,
  StarUp,
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
  void arrange(Context context) {
    restart_machine();
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) add_track(name);
    ASSERT_TRUE(start("a.mp3"));
    seconds(3);
    if (context != Context::Screen) close_screen();
    sim::set_front(context == Context::Background ? sim::Front::Other : sim::Front::Idle);
    clear_facts();
  }

  // What the row's action leaves behind, and that nothing else changed.
  void check(const KeyRow& row) {
    const bool ended = row.act == Act::Exit;
    EXPECT_EQ(sim::unload_requested(), ended);
    if (ended) return;
    const PlayerState& p = ps();
    uint8_t state = PLAYER_PLAYING;
    if (row.act == Act::PlayPause) state = PLAYER_PAUSED;
    if (row.act == Act::Stop) state = PLAYER_STOPPED;
    EXPECT_EQ(p.State_Player, state);
    uint8_t volume = 4;
    if (row.act == Act::VolumeUp) volume = 5;
    if (row.act == Act::VolumeDown) volume = 3;
    EXPECT_EQ(sim::volume(AUD_VOLUME_TYPE_DEFAULT), volume);
    EXPECT_EQ(p.circle_s, row.act == Act::PlayMode ? MODE_SINGLE : MODE_LIST);
    EXPECT_EQ(p.timeStarPress, row.act == Act::StarDown ? 3u : 0u);
    EXPECT_EQ(sim::shell_starts(), row.act == Act::ShowScreen || row.act == Act::StarUp ? 2u : 1u);
    if (row.act == Act::ShowScreen || row.act == Act::StarUp) {
      EXPECT_EQ(p.isCanvas, 1);
    }
    if (row.act == Act::CloseScreen) {
      EXPECT_EQ(p.isCanvas, 0);
    }

    const char* now_playing = "a.mp3";
    if (row.act == Act::TrackNext) now_playing = "b.mp3";
    if (row.act == Act::TrackBack) now_playing = "c.mp3";
    EXPECT_EQ(track(), now_playing);

    uint32_t timer = 0;  // the playback timer runs on
    bool timer_on = row.act != Act::Stop && row.act != Act::PlayPause;
    if (row.act == Act::SeekBackDown || row.act == Act::SeekForwardDown) timer = 2;
    if (row.act == Act::HoldNext) timer = 4;
    if (row.act == Act::HoldBack) timer = 5;
    sim::AppInfo info = player_app();
    EXPECT_EQ(info.timer_running, timer_on);
    if (timer_on) {
      EXPECT_EQ(info.timer_id, timer);
    }
    if (timer == 2) {
      EXPECT_EQ(p.Z, row.act == Act::SeekBackDown ? -1 : 1);
    }
  }
};

TEST_F(KeyMap, PressesActAndAreConsumedAsTheMapSays) {
  using C = Context;
  const KeyRow rows[] = {
      // the player's screen
      {0x01, C::Screen, Act::VolumeUp, true},
      {0x02, C::Screen, Act::PlayPause, true},
      {0x04, C::Screen, Act::SeekBackDown, true},
      {0x06, C::Screen, Act::SeekForwardDown, true},
      {0x07, C::Screen, Act::VolumeDown, true},
      {0x08, C::Screen, Act::Stop, true},
      {0x0A, C::Screen, Act::StarDown, false},  // and the shell closes
      {0x0B, C::Screen, Act::PlayMode, false},
      {0x0E, C::Screen, Act::Exit, false},
      {0x0F, C::Screen, Act::CloseScreen, false},
      {0x11, C::Screen, Act::Exit, false},
      {0x15, C::Screen, Act::None, false},
      {0x17, C::Screen, Act::VolumeUp, true},
      {0x18, C::Screen, Act::VolumeDown, true},
      {0x2C, C::Screen, Act::PlayPause, true},
      {0x2D, C::Screen, Act::Stop, true},
      {0x2E, C::Screen, Act::SeekBackDown, true},
      {0x2F, C::Screen, Act::SeekForwardDown, true},
      {0x03, C::Screen, Act::None, false},
      {0x05, C::Screen, Act::None, false},
      {0x30, C::Screen, Act::None, false},
      // the idle screen: the keypad belongs to the phone
      {0x01, C::WorkingTable, Act::None, false},
      {0x02, C::WorkingTable, Act::None, false},
      {0x04, C::WorkingTable, Act::None, false},
      {0x06, C::WorkingTable, Act::None, false},
      {0x07, C::WorkingTable, Act::None, false},
      {0x08, C::WorkingTable, Act::None, false},
      {0x0A, C::WorkingTable, Act::StarDown, false},
      {0x0B, C::WorkingTable, Act::None, false},
      {0x0E, C::WorkingTable, Act::None, false},
      {0x11, C::WorkingTable, Act::Exit, false},
      {0x15, C::WorkingTable, Act::None, false},
      {0x17, C::WorkingTable, Act::VolumeUp, true},
      {0x18, C::WorkingTable, Act::VolumeDown, true},
      {0x2C, C::WorkingTable, Act::PlayPause, true},
      {0x2D, C::WorkingTable, Act::ShowScreen, true},
      {0x2E, C::WorkingTable, Act::SeekBackDown, true},
      {0x2F, C::WorkingTable, Act::SeekForwardDown, true},
      {0x03, C::WorkingTable, Act::None, false},
      // another application in front
      {0x01, C::Background, Act::None, false},
      {0x02, C::Background, Act::None, false},
      {0x04, C::Background, Act::None, false},
      {0x06, C::Background, Act::None, false},
      {0x07, C::Background, Act::None, false},
      {0x08, C::Background, Act::None, false},
      {0x0A, C::Background, Act::StarDown, false},
      {0x0B, C::Background, Act::None, false},
      {0x0E, C::Background, Act::None, false},
      {0x11, C::Background, Act::None, false},
      {0x15, C::Background, Act::PlayPause, true},
      {0x17, C::Background, Act::HoldNext, false},
      {0x18, C::Background, Act::HoldBack, false},
      {0x2C, C::Background, Act::None, false},
      {0x2D, C::Background, Act::None, false},
      {0x2E, C::Background, Act::None, false},
      {0x2F, C::Background, Act::None, false},
      {0x03, C::Background, Act::None, false},
  };
  for (const KeyRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "press 0x" << std::hex << int(row.key) << " on the " << name_of(row.context));
    arrange(row.context);
    sim::KeyResult r = sim::press(row.key);
    EXPECT_EQ(r.consumed && r.taker == sim::KeyTaker::Player, row.consumed);
    check(row);
    end_program();
    EXPECT_EQ(sim::leaked_blocks(), 0u);
  }
}

TEST_F(KeyMap, ReleasesActAsTheMapSaysAndAreNeverConsumed) {
  using C = Context;
  // No press comes first: a seek key's release without a hold changes the
  // track, and the star's release compares with the press recorded at 0.
  const KeyRow rows[] = {
      {0x04, C::Screen, Act::TrackBack, false},
      {0x06, C::Screen, Act::TrackNext, false},
      {0x0A, C::Screen, Act::None, false},
      {0x2E, C::Screen, Act::TrackBack, false},
      {0x2F, C::Screen, Act::TrackNext, false},
      {0x02, C::Screen, Act::None, false},
      {0x17, C::Screen, Act::None, false},
      {0x04, C::WorkingTable, Act::None, false},
      {0x06, C::WorkingTable, Act::None, false},
      {0x0A, C::WorkingTable, Act::StarUp, false},
      {0x2E, C::WorkingTable, Act::TrackBack, false},
      {0x2F, C::WorkingTable, Act::TrackNext, false},
      {0x17, C::WorkingTable, Act::None, false},
      {0x04, C::Background, Act::None, false},
      {0x06, C::Background, Act::None, false},
      {0x0A, C::Background, Act::StarUp, false},
      {0x2E, C::Background, Act::None, false},
      {0x2F, C::Background, Act::None, false},
      {0x17, C::Background, Act::None, false},
      {0x18, C::Background, Act::None, false},
  };
  for (const KeyRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "release 0x" << std::hex << int(row.key) << " on the " << name_of(row.context));
    arrange(row.context);
    sim::KeyResult r = sim::release(row.key);
    EXPECT_FALSE(r.consumed);
    check(row);
    end_program();
    EXPECT_EQ(sim::leaked_blocks(), 0u);
  }
}

}  // namespace
}  // namespace scenario
