// The playback object through the engine's events: the transitions of the
// playback state, the end of a track by play mode, interruptions and the
// engine's refusals.
#include "platform/framework.h"
#include "scenario.h"

namespace scenario {
namespace {

class Engine : public Scenario {
 protected:
  // Three tracks; the program started on the first, which plays.
  void start_playing(uint32_t seconds_each = kTrackSeconds) {
    add_track("a.mp3", seconds_each);
    add_track("b.mp3", seconds_each);
    add_track("c.mp3", seconds_each);
    ASSERT_TRUE(start("a.mp3"));
    ASSERT_EQ(ps().State_Player, PLAYER_PLAYING);
  }
  void set_mode(uint8_t mode) {
    for (int i = 0; i < 3 && ps().circle_s != mode; ++i) sim::press(kMode);
    ASSERT_EQ(ps().circle_s, mode);
  }
};

struct Row {
  const char* name;
  void (*arrange)(Engine&);  // brings the player to the row's start
  uint8_t key;
  uint8_t state;      // State_Player afterwards
  uint8_t indicator;  // the indicator afterwards
  bool timer;         // the playback timer runs afterwards
};

// The rows of the transition table that keys lead through.
TEST_F(Engine, KeysMoveThePlaybackStateAsTheTableSays) {
  const Row rows[] = {
      {"play key in state 1 pauses", [](Engine&) {}, kPlay, PLAYER_PAUSED, 2, false},
      {"play key in state 2 plays", [](Engine&) { sim::press(kPlay); }, kPlay, PLAYER_PLAYING, 1, true},
      {"stop key stops", [](Engine&) {}, kStop, PLAYER_STOPPED, 0, false},
      {"play key in state 3 plays", [](Engine&) { sim::press(kStop); }, kPlay, PLAYER_PLAYING, 1, true},
      {"stop key when paused stops", [](Engine&) { sim::press(kPlay); }, kStop, PLAYER_STOPPED, 0, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    restart_machine();
    start_playing();
    seconds(3);
    row.arrange(*this);
    EXPECT_TRUE(sim::press(row.key).consumed);
    EXPECT_EQ(ps().State_Player, row.state);
    EXPECT_EQ(sim::indicator(), row.indicator);
    EXPECT_EQ(player_app().timer_running, row.timer);
    if (row.timer) {
      EXPECT_EQ(player_app().timer_id, 0u);
      EXPECT_EQ(player_app().timer_period_ms, 1000u);
      EXPECT_TRUE(player_app().timer_cyclical);
    }
    end_program();
    EXPECT_EQ(sim::leaked_blocks(), 0u);
  }
}

// A track change deletes the object (state 0, indicator 0), prepares the
// next (state 3, indicator untouched) and plays it on the ready event.
TEST_F(Engine, ATrackChangePassesThroughNoTrackAndStopped) {
  start_playing();
  std::vector<uint32_t> indicator_values;
  std::vector<int> states;
  struct Ctx {
    PlayerState* state;
    std::vector<uint32_t>* indicator;
    std::vector<int>* states;
  } ctx{&ps(), &indicator_values, &states};
  sim::set_observer(
      [](sim::Fact fact, uint32_t value, const char*, void* p) {
        auto* c = static_cast<Ctx*>(p);
        if (fact == sim::Fact::Indicator) c->indicator->push_back(value);
        if (fact == sim::Fact::Indicator || fact == sim::Fact::Track) c->states->push_back(c->state->State_Player);
      },
      &ctx);
  sim::press(kSeekFwd);
  sim::release(kSeekFwd);
  sim::set_observer(nullptr, nullptr);
  EXPECT_EQ(indicator_values, (std::vector<uint32_t>{0, 1}));
  // At the deletion's indicator 0, at the creation still 0 (Create sets 3
  // after the engine answered), at the start 1.
  EXPECT_EQ(states, (std::vector<int>{PLAYER_NO_TRACK, PLAYER_NO_TRACK, PLAYER_PLAYING}));
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
}

TEST_F(Engine, ATickCountsOneSecondOnlyWhilePlaying) {
  start_playing();
  seconds(4);
  EXPECT_EQ(ps().timePosition, 4u);
  sim::press(kPlay);  // pause
  seconds(3);
  EXPECT_EQ(ps().timePosition, 4u);
  sim::press(kPlay);  // the engine's own position is read again
  EXPECT_EQ(ps().timePosition, 4u);
  seconds(2);
  EXPECT_EQ(ps().timePosition, 6u);
}

TEST_F(Engine, StopSetsThePositionToZeroAndKeepsTheObject) {
  start_playing();
  seconds(5);
  sim::press(kStop);
  EXPECT_EQ(ps().timePosition, 0u);
  EXPECT_NE(ps().mme_media_file, 0u);
  EXPECT_EQ(ps().allowPlay, 0);
  sim::press(kPlay);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
  EXPECT_EQ(ps().timePosition, 0u);
}

TEST_F(Engine, ThePlayKeyWithoutATrackPreparesOne) {
  start_playing();
  // State 0 is otherwise only passed through inside a track change.
  ps().State_Player = PLAYER_NO_TRACK;
  ps().allowPlay = 0;
  EXPECT_TRUE(sim::press(kPlay).consumed);
  // The object exists already: no new one, no ready event; it waits stopped.
  EXPECT_EQ(ps().State_Player, PLAYER_STOPPED);
  EXPECT_EQ(ps().allowPlay, 1);
  EXPECT_EQ(count(sim::Fact::Track), 1u);
}

TEST_F(Engine, AReadyEventWhilePlayIsNotAllowedChangesNothing) {
  start_playing();
  // The user stops between the creation and the engine's ready event: the
  // observer steps in right after the key event that created the next track.
  struct Ctx {
    PlayerState* state;
    bool created;
  } ctx{&ps(), false};
  sim::set_observer(
      [](sim::Fact fact, uint32_t value, const char*, void* p) {
        auto* c = static_cast<Ctx*>(p);
        if (fact == sim::Fact::Track) c->created = true;
        if (fact == sim::Fact::EventDone && value == EV_KEY_RELEASE && c->created) c->state->allowPlay = 0;
      },
      &ctx);
  sim::press(kSeekFwd);
  sim::release(kSeekFwd);
  sim::set_observer(nullptr, nullptr);
  EXPECT_TRUE(ctx.created);
  EXPECT_EQ(track(), "b.mp3");
  EXPECT_EQ(ps().State_Player, PLAYER_STOPPED);
  EXPECT_FALSE(player_app().timer_running);
  sim::PlaybackInfo info{};
  ASSERT_TRUE(sim::playback_info(&info));
  EXPECT_FALSE(info.playing);
}

TEST_F(Engine, SingleModeEndsTheProgramAtTheEndOfTheTrack) {
  for (bool screen_open : {true, false}) {
    SCOPED_TRACE(screen_open);
    restart_machine();
    start_playing();
    set_mode(MODE_SINGLE);
    if (!screen_open) close_screen();
    sim::end_track(1);
    EXPECT_TRUE(sim::unload_requested());
    EXPECT_EQ(count(sim::Fact::Track), 1u);
    EXPECT_EQ(sim::leaked_blocks(), 0u);
  }
}

TEST_F(Engine, RepeatModePreparesTheSameTrackAgain) {
  add_lyrics("a", "[00:01.00]one\n[00:02.00]two\n");
  start_playing();
  ASSERT_EQ(ps().iRet, LRC_LOADED);
  set_mode(MODE_REPEAT);
  seconds(7);
  sim::end_track(1);
  EXPECT_EQ(tracks_created(), (std::vector<std::string>{"a.mp3", "a.mp3"}));
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
  EXPECT_EQ(ps().timePosition, 0u);
  EXPECT_EQ(ps().iRet, LRC_LOADED);
  EXPECT_NE(ps().lrc, nullptr);
  EXPECT_EQ(count(sim::Fact::EngineDelete), 1u);
  EXPECT_EQ(player_app().timer_id, 0u);
}

TEST_F(Engine, ListModeMovesToTheNextTrack) {
  start_playing();
  ASSERT_EQ(ps().circle_s, MODE_LIST);
  sim::end_track(1);
  EXPECT_EQ(track(), "b.mp3");
  EXPECT_EQ(ps().cur, 1);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
}

TEST_F(Engine, AnEndEventOfAnotherObjectIsIgnored) {
  add_track("a.mp3", 5);
  add_track("b.mp3", 100);
  ASSERT_TRUE(start("a.mp3"));
  // The engine keeps the first object after refusing its deletion; it plays
  // on and ends by itself while b is current.
  sim::refuse_engine(sim::EngineOp::Delete, 1);
  sim::press(kSeekFwd);
  sim::release(kSeekFwd);
  ASSERT_EQ(track(), "b.mp3");
  seconds(8);
  EXPECT_EQ(track(), "b.mp3");
  EXPECT_EQ(ps().cur, 1);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
  EXPECT_EQ(ps().timePosition, 8u);
}

TEST_F(Engine, AnInterruptionWithoutACallGoesBackToTheLastCountedSecond) {
  start_playing();
  sim::advance(4500);
  sim::end_track(2);
  EXPECT_EQ(count(sim::Fact::EngineSeek, 4000), 1u);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
  EXPECT_EQ(sim::indicator(), 1);
  EXPECT_TRUE(player_app().timer_running);
  seconds(1);
  EXPECT_EQ(ps().timePosition, 5u);
}

TEST_F(Engine, ACallPausesTheTrackAndThePlayKeyResumesItAfterwards) {
  start_playing();
  seconds(6);
  sim::set_voice_call(true);
  EXPECT_EQ(ps().State_Player, PLAYER_PAUSED);
  EXPECT_EQ(sim::indicator(), 2);
  EXPECT_EQ(count(sim::Fact::EngineSeek, 6000), 1u);
  seconds(3);
  EXPECT_EQ(ps().timePosition, 6u);
  // During the call the play keys belong to the phone.
  EXPECT_FALSE(sim::press(kPlay).consumed);
  EXPECT_FALSE(sim::press(kMediaPlay).consumed);
  EXPECT_EQ(ps().State_Player, PLAYER_PAUSED);
  sim::set_voice_call(false);
  EXPECT_TRUE(sim::press(kPlay).consumed);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
  EXPECT_EQ(sim::indicator(), 1);
  seconds(2);
  EXPECT_EQ(ps().timePosition, 8u);
}

// A seek made while paused runs the engine again; the next tick shows it.
TEST_F(Engine, TheFirstTickAfterASeekWhilePausedSetsPlaying) {
  start_playing();
  seconds(3);
  sim::press(kPlay);
  ASSERT_EQ(ps().State_Player, PLAYER_PAUSED);
  sim::end_track(2);  // interrupted, no call: sought back, SeekPlay restarts
  EXPECT_EQ(ps().State_Player, PLAYER_PAUSED);
  EXPECT_EQ(sim::indicator(), 2);
  seconds(1);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
  EXPECT_EQ(sim::indicator(), 1);
  EXPECT_EQ(ps().timePosition, 4u);
}

TEST_F(Engine, ARefusedCreationEndsTheProgram) {
  add_track("a.mp3");
  sim::refuse_engine(sim::EngineOp::Create, 1);
  ASSERT_TRUE(start("a.mp3"));
  EXPECT_TRUE(sim::unload_requested());
  EXPECT_FALSE(shell_running());
}

TEST_F(Engine, ARefusedStartLeavesTheTrackStoppedWithoutTimer) {
  add_track("a.mp3");
  sim::refuse_engine(sim::EngineOp::Start, 1);
  ASSERT_TRUE(start("a.mp3"));
  EXPECT_NE(ps().mme_media_file, 0u);
  EXPECT_EQ(ps().State_Player, PLAYER_STOPPED);
  EXPECT_EQ(sim::indicator(), 0);
  EXPECT_FALSE(player_app().timer_running);
  sim::press(kPlay);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
}

TEST_F(Engine, RefusedPauseAndStopLeaveThePlayingState) {
  struct Case {
    sim::EngineOp op;
    uint8_t key;
  };
  for (Case c : {Case{sim::EngineOp::Pause, kPlay}, Case{sim::EngineOp::Stop, kStop}}) {
    SCOPED_TRACE(int(c.key));
    restart_machine();
    start_playing();
    seconds(2);
    sim::refuse_engine(c.op, 1);
    EXPECT_TRUE(sim::press(c.key).consumed);
    EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
    EXPECT_EQ(sim::indicator(), 1);
    EXPECT_EQ(ps().timePosition, 2u);
    end_program();
  }
}

TEST_F(Engine, ARefusedDeleteStillFreesTheLyricsAndMovesOn) {
  add_lyrics("a", "[00:01.00]one\n");
  start_playing();
  ASSERT_NE(ps().lrc, nullptr);
  sim::refuse_engine(sim::EngineOp::Delete, 1);
  clear_facts();
  sim::end_track(1);
  // The refused deletion changed neither state nor indicator; b's start did.
  EXPECT_EQ(count(sim::Fact::Indicator, 0), 0u);
  EXPECT_EQ(count(sim::Fact::Indicator, 1), 1u);
  EXPECT_EQ(track(), "b.mp3");
  EXPECT_EQ(ps().lrc, nullptr);  // b has no lyrics
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
}

}  // namespace
}  // namespace scenario
