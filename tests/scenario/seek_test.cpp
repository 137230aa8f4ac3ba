// SPDX-License-Identifier: MIT
// Seeking by holding a seek key: the one-second hold, the 100 ms steps with
// their growing step, the limits at both ends, and the seek on release.
#include "scenario.h"

namespace scenario {
namespace {

class Seek : public Scenario {
 protected:
  // One track of `length` seconds, playing; the seek key goes down after
  // `play_ms` and is held for one second, so the hold begins at the engine's
  // position play_ms + 1000.
  void Hold(uint8_t key, uint32_t length, uint32_t play_ms) {
    AddTrack("a.mp3", length);
    AddTrack("b.mp3", length);
    AddTrack("c.mp3", length);
    ASSERT_TRUE(Start("a.mp3"));
    sim::Advance(play_ms);
    sim::Press(key);
    sim::Advance(1000);
  }
  std::vector<uint32_t> Steps(int n) {
    std::vector<uint32_t> positions;
    for (int i = 0; i < n; ++i) {
      sim::Advance(100);
      positions.push_back(Ps().timePosition);
    }
    return positions;
  }
};

TEST_F(Seek, HoldingForOneSecondPausesAndStartsStepping) {
  Hold(kSeekFwd, 60, 5000);
  EXPECT_EQ(Ps().LongPress, 1);
  EXPECT_EQ(Ps().State_Player, kPlayerSeeking);
  EXPECT_EQ(Ps().timePosition, 6u);  // read from the engine
  EXPECT_EQ(sim::Indicator(), 2);
  sim::PlaybackInfo info{};
  ASSERT_TRUE(sim::GetPlaybackInfo(&info));
  EXPECT_FALSE(info.playing);
  sim::AppInfo p = PlayerApp();
  EXPECT_TRUE(p.timer_running);
  EXPECT_EQ(p.timer_id, 6u);
  EXPECT_EQ(p.timer_period_ms, 100u);
  EXPECT_TRUE(p.timer_cyclical);
}

struct StepCase {
  const char* name;
  uint8_t key;
  uint32_t length;
  uint32_t play_ms;  // the hold begins one second later
  std::vector<uint32_t> positions;
};

TEST_F(Seek, StepsGrowOnMultiplesOfTenAndStopAtBothEnds) {
  const StepCase cases[] = {
      // 20 is a multiple of ten: the step grows to 2 at once.
      {"forward from 20", kSeekFwd, 100, 19000, {22, 24, 26, 28, 30, 33, 36, 39, 42}},
      {"forward to the end", kSeekFwd, 30, 19000, {22, 24, 26, 28, 30, 30, 30}},
      {"back to the start", kSeekBack, 100, 4000, {4, 3, 2, 1, 0, 0, 0}},
      // Past the end with the step: first the length minus twice the step.
      {"back from the end", kSeekBack, 41, 39000, {37, 35, 33, 31, 29}},
      {"back from 20", kSeekBack, 100, 19000, {18, 16, 14, 12, 10, 7, 4, 1, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RestartMachine();
    Hold(c.key, c.length, c.play_ms);
    EXPECT_EQ(Steps((int)c.positions.size()), c.positions);
    EXPECT_EQ(Ps().State_Player, kPlayerSeeking);
    EndProgram();
  }
}

TEST_F(Seek, ReleaseAfterTheHoldSeeksAndTheEngineRestarts) {
  Hold(kSeekFwd, 100, 19000);
  Steps(3);
  ASSERT_EQ(Ps().timePosition, 26u);
  EXPECT_FALSE(sim::Release(kSeekFwd).consumed);
  EXPECT_EQ(Ps().LongPress, 0);
  EXPECT_EQ(count(sim::Fact::kEngineSeek, 26000), 1u);
  // The seek's done event ran SeekPlay: engine and playback timer run again.
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
  EXPECT_EQ(sim::Indicator(), 1);
  sim::AppInfo p = PlayerApp();
  EXPECT_EQ(p.timer_id, 0u);
  EXPECT_EQ(p.timer_period_ms, 1000u);
  sim::PlaybackInfo info{};
  ASSERT_TRUE(sim::GetPlaybackInfo(&info));
  EXPECT_TRUE(info.playing);
  EXPECT_EQ(info.position_ms, 26000u);
  Seconds(2);
  EXPECT_EQ(Ps().timePosition, 28u);
  EXPECT_EQ(Track(), "a.mp3");
}

// A busy engine has not yet reported the new track ready: its length is not
// known, and the length of the track before must not bound the seek.
TEST_F(Seek, AHoldBeforeTheNewTrackIsReadyStaysWithinTheNewTrack) {
  AddTrack("a.mp3", 300);
  AddTrack("b.mp3", 5);
  ASSERT_TRUE(Start("a.mp3"));
  Seconds(100);
  sim::HoldEngineAnswers(true);
  sim::Press(kMediaFwd);
  sim::Release(kMediaFwd);
  ASSERT_EQ(Track(), "b.mp3");
  sim::Press(kSeekFwd);
  sim::Advance(1000);
  ASSERT_EQ(Ps().State_Player, kPlayerSeeking);
  for (uint32_t position : Steps(10)) EXPECT_LE(position, 5u);
  sim::Release(kSeekFwd);
  sim::HoldEngineAnswers(false);
  EXPECT_EQ(Ps().timeDuraction, 5u);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
}

TEST_F(Seek, ReleaseBeforeOneSecondChangesTheTrackWithoutSeeking) {
  struct Case {
    uint8_t key;
    const char* next;
  };
  for (Case c :
       {Case{kSeekFwd, "b.mp3"}, Case{kSeekBack, "c.mp3"}, Case{kMediaFwd, "b.mp3"}, Case{kMediaBack, "c.mp3"}}) {
    SCOPED_TRACE(int(c.key));
    RestartMachine();
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) AddTrack(name);
    ASSERT_TRUE(Start("a.mp3"));
    Seconds(4);
    EXPECT_TRUE(sim::Press(c.key).consumed);
    sim::Advance(900);
    sim::Release(c.key);
    EXPECT_EQ(Track(), c.next);
    EXPECT_EQ(count(sim::Fact::kEngineSeek), 0u);
    EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
    EXPECT_EQ(Ps().timePosition, 0u);
    EndProgram();
  }
}

// Play/pause while seeking stops the stepping and nothing else; the
// release still seeks.
TEST_F(Seek, PlayPauseDuringAHoldStopsTheSteppingOnly) {
  Hold(kSeekFwd, 100, 19000);
  Steps(2);
  ASSERT_EQ(Ps().timePosition, 24u);
  EXPECT_TRUE(sim::Press(kPlay).consumed);
  EXPECT_EQ(Ps().State_Player, kPlayerSeeking);
  EXPECT_FALSE(PlayerApp().timer_running);
  sim::Advance(500);
  EXPECT_EQ(Ps().timePosition, 24u);
  sim::Release(kSeekFwd);
  EXPECT_EQ(count(sim::Fact::kEngineSeek, 24000), 1u);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
}

}  // namespace
}  // namespace scenario
