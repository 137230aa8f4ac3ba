// SPDX-License-Identifier: MIT
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
  void StartPlaying(uint32_t seconds_each = kTrackSeconds) {
    AddTrack("a.mp3", seconds_each);
    AddTrack("b.mp3", seconds_each);
    AddTrack("c.mp3", seconds_each);
    ASSERT_TRUE(Start("a.mp3"));
    ASSERT_EQ(Ps().State_Player, kPlayerPlaying);
  }
  void SetMode(uint8_t mode) {
    for (int i = 0; i < 3 && Ps().circle_s != mode; ++i) sim::Press(kMode);
    ASSERT_EQ(Ps().circle_s, mode);
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
      {"play key in state 1 pauses", [](Engine&) {}, kPlay, kPlayerPaused, 2, false},
      {"play key in state 2 plays", [](Engine&) { sim::Press(kPlay); }, kPlay, kPlayerPlaying, 1, true},
      {"stop key stops", [](Engine&) {}, kStop, kPlayerStopped, 0, false},
      {"play key in state 3 plays", [](Engine&) { sim::Press(kStop); }, kPlay, kPlayerPlaying, 1, true},
      {"stop key when paused stops", [](Engine&) { sim::Press(kPlay); }, kStop, kPlayerStopped, 0, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    RestartMachine();
    StartPlaying();
    Seconds(3);
    row.arrange(*this);
    EXPECT_TRUE(sim::Press(row.key).consumed);
    EXPECT_EQ(Ps().State_Player, row.state);
    EXPECT_EQ(sim::Indicator(), row.indicator);
    EXPECT_EQ(PlayerApp().timer_running, row.timer);
    if (row.timer) {
      EXPECT_EQ(PlayerApp().timer_id, 0u);
      EXPECT_EQ(PlayerApp().timer_period_ms, 1000u);
      EXPECT_TRUE(PlayerApp().timer_cyclical);
    }
    EndProgram();
    EXPECT_EQ(sim::LeakedBlocks(), 0u);
  }
}

// A track change deletes the object (state 0, indicator 0), prepares the
// next (state 3, indicator untouched) and plays it on the ready event.
TEST_F(Engine, ATrackChangePassesThroughNoTrackAndStopped) {
  StartPlaying();
  std::vector<uint32_t> indicator_values;
  std::vector<int> states;
  struct Ctx {
    PlayerState* state;
    std::vector<uint32_t>* indicator;
    std::vector<int>* states;
  } ctx{&Ps(), &indicator_values, &states};
  sim::SetObserver(
      [](sim::Fact fact, uint32_t value, const char*, void* p) {
        auto* c = static_cast<Ctx*>(p);
        if (fact == sim::Fact::kIndicator) c->indicator->push_back(value);
        if (fact == sim::Fact::kIndicator || fact == sim::Fact::kTrack) c->states->push_back(c->state->State_Player);
      },
      &ctx);
  sim::Press(kSeekFwd);
  sim::Release(kSeekFwd);
  sim::SetObserver(nullptr, nullptr);
  EXPECT_EQ(indicator_values, (std::vector<uint32_t>{0, 1}));
  // At the deletion's indicator 0, at the creation still 0 (Create sets 3
  // after the engine answered), at the start 1.
  EXPECT_EQ(states, (std::vector<int>{kPlayerNoTrack, kPlayerNoTrack, kPlayerPlaying}));
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
}

TEST_F(Engine, ATickCountsOneSecondOnlyWhilePlaying) {
  StartPlaying();
  Seconds(4);
  EXPECT_EQ(Ps().timePosition, 4u);
  sim::Press(kPlay);  // pause
  Seconds(3);
  EXPECT_EQ(Ps().timePosition, 4u);
  sim::Press(kPlay);  // the engine's own position is read again
  EXPECT_EQ(Ps().timePosition, 4u);
  Seconds(2);
  EXPECT_EQ(Ps().timePosition, 6u);
}

TEST_F(Engine, StopSetsThePositionToZeroAndKeepsTheObject) {
  StartPlaying();
  Seconds(5);
  sim::Press(kStop);
  EXPECT_EQ(Ps().timePosition, 0u);
  EXPECT_NE(Ps().mme_media_file, 0u);
  EXPECT_EQ(Ps().allowPlay, 0);
  sim::Press(kPlay);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
  EXPECT_EQ(Ps().timePosition, 0u);
}

TEST_F(Engine, ThePlayKeyWithoutATrackPreparesOne) {
  StartPlaying();
  // State 0 is otherwise only passed through inside a track change.
  Ps().State_Player = kPlayerNoTrack;
  Ps().allowPlay = 0;
  EXPECT_TRUE(sim::Press(kPlay).consumed);
  // The object exists already: no new one, no ready event; it waits stopped.
  EXPECT_EQ(Ps().State_Player, kPlayerStopped);
  EXPECT_EQ(Ps().allowPlay, 1);
  EXPECT_EQ(count(sim::Fact::kTrack), 1u);
}

TEST_F(Engine, AReadyEventWhilePlayIsNotAllowedChangesNothing) {
  StartPlaying();
  // The user stops between the creation and the engine's ready event: the
  // observer steps in right after the key event that created the next track.
  struct Ctx {
    PlayerState* state;
    bool created;
  } ctx{&Ps(), false};
  sim::SetObserver(
      [](sim::Fact fact, uint32_t value, const char*, void* p) {
        auto* c = static_cast<Ctx*>(p);
        if (fact == sim::Fact::kTrack) c->created = true;
        if (fact == sim::Fact::kEventDone && value == EV_KEY_RELEASE && c->created) c->state->allowPlay = 0;
      },
      &ctx);
  sim::Press(kSeekFwd);
  sim::Release(kSeekFwd);
  sim::SetObserver(nullptr, nullptr);
  EXPECT_TRUE(ctx.created);
  EXPECT_EQ(Track(), "b.mp3");
  EXPECT_EQ(Ps().State_Player, kPlayerStopped);
  EXPECT_FALSE(PlayerApp().timer_running);
  sim::PlaybackInfo info{};
  ASSERT_TRUE(sim::GetPlaybackInfo(&info));
  EXPECT_FALSE(info.playing);
}

TEST_F(Engine, SingleModeEndsTheProgramAtTheEndOfTheTrack) {
  for (bool screen_open : {true, false}) {
    SCOPED_TRACE(screen_open);
    RestartMachine();
    StartPlaying();
    SetMode(kModeSingle);
    if (!screen_open) CloseScreen();
    sim::EndTrack(1);
    EXPECT_TRUE(sim::UnloadRequested());
    EXPECT_EQ(count(sim::Fact::kTrack), 1u);
    EXPECT_EQ(sim::LeakedBlocks(), 0u);
  }
}

TEST_F(Engine, RepeatModePreparesTheSameTrackAgain) {
  AddLyrics("a", "[00:01.00]one\n[00:02.00]two\n");
  StartPlaying();
  ASSERT_EQ(Ps().iRet, kLrcLoaded);
  SetMode(kModeRepeat);
  Seconds(7);
  sim::EndTrack(1);
  EXPECT_EQ(TracksCreated(), (std::vector<std::string>{"a.mp3", "a.mp3"}));
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
  EXPECT_EQ(Ps().timePosition, 0u);
  EXPECT_EQ(Ps().iRet, kLrcLoaded);
  EXPECT_NE(Ps().lrc, nullptr);
  EXPECT_EQ(count(sim::Fact::kEngineDelete), 1u);
  EXPECT_EQ(PlayerApp().timer_id, 0u);
}

TEST_F(Engine, ListModeMovesToTheNextTrack) {
  StartPlaying();
  ASSERT_EQ(Ps().circle_s, kModeList);
  sim::EndTrack(1);
  EXPECT_EQ(Track(), "b.mp3");
  EXPECT_EQ(Ps().cur, 1);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
}

TEST_F(Engine, AnEndEventOfAnotherObjectIsIgnored) {
  AddTrack("a.mp3", 5);
  AddTrack("b.mp3", 100);
  ASSERT_TRUE(Start("a.mp3"));
  // The engine keeps the first object after refusing its deletion; it plays
  // on and ends by itself while b is current.
  sim::RefuseEngine(sim::EngineOp::kDelete, 1);
  sim::Press(kSeekFwd);
  sim::Release(kSeekFwd);
  ASSERT_EQ(Track(), "b.mp3");
  Seconds(8);
  EXPECT_EQ(Track(), "b.mp3");
  EXPECT_EQ(Ps().cur, 1);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
  EXPECT_EQ(Ps().timePosition, 8u);
}

TEST_F(Engine, AnInterruptionWithoutACallGoesBackToTheLastCountedSecond) {
  StartPlaying();
  sim::Advance(4500);
  sim::EndTrack(2);
  EXPECT_EQ(count(sim::Fact::kEngineSeek, 4000), 1u);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
  EXPECT_EQ(sim::Indicator(), 1);
  EXPECT_TRUE(PlayerApp().timer_running);
  Seconds(1);
  EXPECT_EQ(Ps().timePosition, 5u);
}

TEST_F(Engine, ACallPausesTheTrackAndThePlayKeyResumesItAfterwards) {
  StartPlaying();
  Seconds(6);
  sim::SetVoiceCall(true);
  EXPECT_EQ(Ps().State_Player, kPlayerPaused);
  EXPECT_EQ(sim::Indicator(), 2);
  EXPECT_EQ(count(sim::Fact::kEngineSeek, 6000), 1u);
  Seconds(3);
  EXPECT_EQ(Ps().timePosition, 6u);
  // During the call the play keys belong to the phone.
  EXPECT_FALSE(sim::Press(kPlay).consumed);
  EXPECT_FALSE(sim::Press(kMediaPlay).consumed);
  EXPECT_EQ(Ps().State_Player, kPlayerPaused);
  sim::SetVoiceCall(false);
  EXPECT_TRUE(sim::Press(kPlay).consumed);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
  EXPECT_EQ(sim::Indicator(), 1);
  Seconds(2);
  EXPECT_EQ(Ps().timePosition, 8u);
}

// A seek made while paused runs the engine again; the next tick shows it.
TEST_F(Engine, TheFirstTickAfterASeekWhilePausedSetsPlaying) {
  StartPlaying();
  Seconds(3);
  sim::Press(kPlay);
  ASSERT_EQ(Ps().State_Player, kPlayerPaused);
  sim::EndTrack(2);  // interrupted, no call: sought back, SeekPlay restarts
  EXPECT_EQ(Ps().State_Player, kPlayerPaused);
  EXPECT_EQ(sim::Indicator(), 2);
  Seconds(1);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
  EXPECT_EQ(sim::Indicator(), 1);
  EXPECT_EQ(Ps().timePosition, 4u);
}

TEST_F(Engine, ARefusedCreationEndsTheProgram) {
  AddTrack("a.mp3");
  sim::RefuseEngine(sim::EngineOp::kCreate, 1);
  ASSERT_TRUE(Start("a.mp3"));
  EXPECT_TRUE(sim::UnloadRequested());
  EXPECT_FALSE(ShellRunning());
}

TEST_F(Engine, ARefusedStartLeavesTheTrackStoppedWithoutTimer) {
  AddTrack("a.mp3");
  sim::RefuseEngine(sim::EngineOp::kStart, 1);
  ASSERT_TRUE(Start("a.mp3"));
  EXPECT_NE(Ps().mme_media_file, 0u);
  EXPECT_EQ(Ps().State_Player, kPlayerStopped);
  EXPECT_EQ(sim::Indicator(), 0);
  EXPECT_FALSE(PlayerApp().timer_running);
  sim::Press(kPlay);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
}

TEST_F(Engine, RefusedPauseAndStopLeaveThePlayingState) {
  struct Case {
    sim::EngineOp op;
    uint8_t key;
  };
  for (Case c : {Case{sim::EngineOp::kPause, kPlay}, Case{sim::EngineOp::kStop, kStop}}) {
    SCOPED_TRACE(int(c.key));
    RestartMachine();
    StartPlaying();
    Seconds(2);
    sim::RefuseEngine(c.op, 1);
    EXPECT_TRUE(sim::Press(c.key).consumed);
    EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
    EXPECT_EQ(sim::Indicator(), 1);
    EXPECT_EQ(Ps().timePosition, 2u);
    EndProgram();
  }
}

TEST_F(Engine, ARefusedDeleteStillFreesTheLyricsAndMovesOn) {
  AddLyrics("a", "[00:01.00]one\n");
  StartPlaying();
  ASSERT_NE(Ps().lrc, nullptr);
  sim::RefuseEngine(sim::EngineOp::kDelete, 1);
  ClearFacts();
  sim::EndTrack(1);
  // The refused deletion changed neither state nor indicator; b's start did.
  EXPECT_EQ(count(sim::Fact::kIndicator, 0), 0u);
  EXPECT_EQ(count(sim::Fact::kIndicator, 1), 1u);
  EXPECT_EQ(Track(), "b.mp3");
  EXPECT_EQ(Ps().lrc, nullptr);  // b has no lyrics
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
}

}  // namespace
}  // namespace scenario
