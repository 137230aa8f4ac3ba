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
  void hold(uint8_t key, uint32_t length, uint32_t play_ms) {
    add_track("a.mp3", length);
    add_track("b.mp3", length);
    add_track("c.mp3", length);
    ASSERT_TRUE(start("a.mp3"));
    sim::advance(play_ms);
    sim::press(key);
    sim::advance(1000);
  }
  std::vector<uint32_t> steps(int n) {
    std::vector<uint32_t> positions;
    for (int i = 0; i < n; ++i) {
      sim::advance(100);
      positions.push_back(ps().timePosition);
    }
    return positions;
  }
};

TEST_F(Seek, HoldingForOneSecondPausesAndStartsStepping) {
  hold(kSeekFwd, 60, 5000);
  EXPECT_EQ(ps().LongPress, 1);
  EXPECT_EQ(ps().State_Player, PLAYER_SEEKING);
  EXPECT_EQ(ps().timePosition, 6u);  // read from the engine
  EXPECT_EQ(sim::indicator(), 2);
  sim::PlaybackInfo info{};
  ASSERT_TRUE(sim::playback_info(&info));
  EXPECT_FALSE(info.playing);
  sim::AppInfo p = player_app();
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
    restart_machine();
    hold(c.key, c.length, c.play_ms);
    EXPECT_EQ(steps((int)c.positions.size()), c.positions);
    EXPECT_EQ(ps().State_Player, PLAYER_SEEKING);
    end_program();
  }
}

TEST_F(Seek, ReleaseAfterTheHoldSeeksAndTheEngineRestarts) {
  hold(kSeekFwd, 100, 19000);
  steps(3);
  ASSERT_EQ(ps().timePosition, 26u);
  EXPECT_FALSE(sim::release(kSeekFwd).consumed);
  EXPECT_EQ(ps().LongPress, 0);
  EXPECT_EQ(count(sim::Fact::EngineSeek, 26000), 1u);
  // The seek's done event ran SeekPlay: engine and playback timer run again.
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
  EXPECT_EQ(sim::indicator(), 1);
  sim::AppInfo p = player_app();
  EXPECT_EQ(p.timer_id, 0u);
  EXPECT_EQ(p.timer_period_ms, 1000u);
  sim::PlaybackInfo info{};
  ASSERT_TRUE(sim::playback_info(&info));
  EXPECT_TRUE(info.playing);
  EXPECT_EQ(info.position_ms, 26000u);
  seconds(2);
  EXPECT_EQ(ps().timePosition, 28u);
  EXPECT_EQ(track(), "a.mp3");
}

// A busy engine has not yet reported the new track ready: its length is not
// known, and the length of the track before must not bound the seek.
TEST_F(Seek, AHoldBeforeTheNewTrackIsReadyStaysWithinTheNewTrack) {
  add_track("a.mp3", 300);
  add_track("b.mp3", 5);
  ASSERT_TRUE(start("a.mp3"));
  seconds(100);
  sim::hold_engine_answers(true);
  sim::press(kMediaFwd);
  sim::release(kMediaFwd);
  ASSERT_EQ(track(), "b.mp3");
  sim::press(kSeekFwd);
  sim::advance(1000);
  ASSERT_EQ(ps().State_Player, PLAYER_SEEKING);
  for (uint32_t position : steps(10)) EXPECT_LE(position, 5u);
  sim::release(kSeekFwd);
  sim::hold_engine_answers(false);
  EXPECT_EQ(ps().timeDuraction, 5u);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
}

TEST_F(Seek, ReleaseBeforeOneSecondChangesTheTrackWithoutSeeking) {
  struct Case {
    uint8_t key;
    const char* next;
  };
  for (Case c :
       {Case{kSeekFwd, "b.mp3"}, Case{kSeekBack, "c.mp3"}, Case{kMediaFwd, "b.mp3"}, Case{kMediaBack, "c.mp3"}}) {
    SCOPED_TRACE(int(c.key));
    restart_machine();
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) add_track(name);
    ASSERT_TRUE(start("a.mp3"));
    seconds(4);
    EXPECT_TRUE(sim::press(c.key).consumed);
    sim::advance(900);
    sim::release(c.key);
    EXPECT_EQ(track(), c.next);
    EXPECT_EQ(count(sim::Fact::EngineSeek), 0u);
    EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
    EXPECT_EQ(ps().timePosition, 0u);
    end_program();
  }
}

// Play/pause while seeking stops the stepping and nothing else; the
// release still seeks.
TEST_F(Seek, PlayPauseDuringAHoldStopsTheSteppingOnly) {
  hold(kSeekFwd, 100, 19000);
  steps(2);
  ASSERT_EQ(ps().timePosition, 24u);
  EXPECT_TRUE(sim::press(kPlay).consumed);
  EXPECT_EQ(ps().State_Player, PLAYER_SEEKING);
  EXPECT_FALSE(player_app().timer_running);
  sim::advance(500);
  EXPECT_EQ(ps().timePosition, 24u);
  sim::release(kSeekFwd);
  EXPECT_EQ(count(sim::Fact::EngineSeek, 24000), 1u);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
}

}  // namespace
}  // namespace scenario
