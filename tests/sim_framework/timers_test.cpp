// SPDX-License-Identifier: MIT
// One timer per application, on the virtual clock.
#include "test_apps.h"

namespace simtest {
namespace {

using Log = std::vector<std::string>;

class Timers : public Framework {
 protected:
  void SetUp() override {
    Framework::SetUp();
    StartBoth();
    TakeLog();
  }
  // Logs the clock at each expiry of the player's timer.
  void LogTimes() {
    On("player", EV_TIMER_EXPIRED, [this](EVENT_STACK_T* ev, APPLICATION_T*) {
      w_.log.push_back("at " + std::to_string(sim::NowMs()) + " id " + std::to_string(TimerId(ev)));
      return 0u;
    });
  }
  Log Expiries() {
    Log out;
    for (auto& line : TakeLog())
      if (line.rfind("at ", 0) == 0) out.push_back(line);
    return out;
  }
};

TEST_F(Timers, AOneShotTimerFiresOnceAtItsDeadline) {
  LogTimes();
  ASSERT_EQ(APP_UtilStartTimer(1000, 2, w_.player), 0u);
  sim::Advance(999);
  EXPECT_TRUE(Expiries().empty());
  sim::Advance(1);
  EXPECT_EQ(Expiries(), (Log{"at 1000 id 2"}));
  sim::Advance(5000);
  EXPECT_TRUE(Expiries().empty());
  sim::AppInfo player{};
  ASSERT_TRUE(sim::PlayerInfo(&player));
  EXPECT_FALSE(player.timer_running);
}

TEST_F(Timers, ACyclicalTimerKeepsItsRhythmWhateverTheSteps) {
  LogTimes();
  ASSERT_EQ(APP_UtilStartCyclicalTimer(1000, 0, w_.player), 0u);
  sim::Advance(1500);
  sim::Advance(1600);
  sim::Advance(10);
  EXPECT_EQ(Expiries(), (Log{"at 1000 id 0", "at 2000 id 0", "at 3000 id 0"}));
  EXPECT_EQ(sim::NowMs(), 3110u);
  sim::AppInfo player{};
  ASSERT_TRUE(sim::PlayerInfo(&player));
  EXPECT_TRUE(player.timer_running);
  EXPECT_TRUE(player.timer_cyclical);
  EXPECT_EQ(player.timer_id, 0u);
  EXPECT_EQ(player.timer_period_ms, 1000u);
}

TEST_F(Timers, StartingATimerReplacesTheOneThatRuns) {
  LogTimes();
  ASSERT_EQ(APP_UtilStartTimer(1000, 2, w_.player), 0u);
  ASSERT_EQ(APP_UtilStartCyclicalTimer(300, 6, w_.player), 0u);
  sim::Advance(1000);
  EXPECT_EQ(Expiries(), (Log{"at 300 id 6", "at 600 id 6", "at 900 id 6"}));
}

TEST_F(Timers, StoppingIsHarmlessWhenNoTimerRuns) {
  LogTimes();
  EXPECT_EQ(APP_UtilStopTimer(w_.player), 0u);
  ASSERT_EQ(APP_UtilStartCyclicalTimer(100, 6, w_.player), 0u);
  EXPECT_EQ(APP_UtilStopTimer(w_.player), 0u);
  EXPECT_EQ(APP_UtilStopTimer(w_.player), 0u);
  sim::Advance(1000);
  EXPECT_TRUE(Expiries().empty());
  EXPECT_NE(APP_UtilStopTimer(nullptr), 0u);
  EXPECT_NE(APP_UtilStartTimer(10, 1, nullptr), 0u);
}

TEST_F(Timers, ATimerStartedInAHandlerCountsFromThatMoment) {
  On("player", EV_TIMER_EXPIRED, [this](EVENT_STACK_T* ev, APPLICATION_T* app) {
    w_.log.push_back("at " + std::to_string(sim::NowMs()) + " id " + std::to_string(TimerId(ev)));
    if (TimerId(ev) == 2) {
      APP_UtilStopTimer(app);
      APP_UtilStartCyclicalTimer(100, 6, app);
    }
    return 0u;
  });
  ASSERT_EQ(APP_UtilStartTimer(1000, 2, w_.player), 0u);
  sim::Advance(1250);
  EXPECT_EQ(Expiries(), (Log{"at 1000 id 2", "at 1100 id 6", "at 1200 id 6"}));
}

TEST_F(Timers, TimersDueTogetherFireInStartOrder) {
  // The player's timer is started first, but the shell was started first.
  ASSERT_EQ(APP_UtilStartTimer(500, 7, w_.player), 0u);
  ASSERT_EQ(APP_UtilStartTimer(500, 8, w_.shell), 0u);
  ASSERT_EQ(APP_UtilStartTimer(400, 9, w_.player), 0u);  // replaces 7, and is due earlier
  sim::Advance(500);
  EXPECT_EQ(TakeLog(), (Log{"player timer 9", "shell timer 8"}));
  ASSERT_EQ(APP_UtilStartTimer(500, 7, w_.player), 0u);
  ASSERT_EQ(APP_UtilStartTimer(500, 8, w_.shell), 0u);
  sim::Advance(500);
  EXPECT_EQ(TakeLog(), (Log{"shell timer 8", "player timer 7"}));
}

TEST_F(Timers, TimersDieWithTheirApplication) {
  ASSERT_EQ(APP_UtilStartCyclicalTimer(100, 1, w_.shell), 0u);
  sim::Advance(100);
  EXPECT_EQ(TakeLog(), (Log{"shell timer 1"}));
  ASSERT_EQ(APP_Exit(nullptr, w_.shell, 0), 0u);
  sim::Advance(1000);
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(Timers, AdvanceMovesTheClockExactlyWithNothingDue) {
  sim::Advance(1234);
  EXPECT_EQ(sim::NowMs(), 1234u);
  sim::Advance(0);
  EXPECT_EQ(sim::NowMs(), 1234u);
}

TEST_F(Timers, AZeroTimerRestartedByItsOwnHandlerDoesNotHangTheClock) {
  On("player", EV_TIMER_EXPIRED, [](EVENT_STACK_T*, APPLICATION_T* app) { return APP_UtilStartTimer(0, 1, app); });
  ASSERT_EQ(APP_UtilStartTimer(0, 1, w_.player), 0u);
  sim::Advance(10);
  EXPECT_EQ(sim::NowMs(), 10u);
  APP_UtilStopTimer(w_.player);
}

TEST_F(Timers, ACyclicalTimerOfZeroStillLetsTheClockMove) {
  LogTimes();
  ASSERT_EQ(APP_UtilStartCyclicalTimer(0, 3, w_.player), 0u);
  sim::Advance(3);
  EXPECT_EQ(sim::NowMs(), 3u);
  EXPECT_EQ(Expiries(), (Log{"at 0 id 3", "at 1 id 3", "at 2 id 3", "at 3 id 3"}));
}

}  // namespace
}  // namespace simtest
