// One timer per application, on the virtual clock.
#include "test_apps.h"

namespace simtest {
namespace {

using Log = std::vector<std::string>;

class Timers : public Framework {
 protected:
  void SetUp() override {
    Framework::SetUp();
    start_both();
    take_log();
  }
  // Logs the clock at each expiry of the player's timer.
  void log_times() {
    on("player", EV_TIMER_EXPIRED, [this](EVENT_STACK_T* ev, APPLICATION_T*) {
      w.log.push_back("at " + std::to_string(sim::now_ms()) + " id " + std::to_string(timer_id(ev)));
      return 0u;
    });
  }
  Log expiries() {
    Log out;
    for (auto& line : take_log())
      if (line.rfind("at ", 0) == 0) out.push_back(line);
    return out;
  }
};

TEST_F(Timers, AOneShotTimerFiresOnceAtItsDeadline) {
  log_times();
  ASSERT_EQ(APP_UtilStartTimer(1000, 2, w.player), 0u);
  sim::advance(999);
  EXPECT_TRUE(expiries().empty());
  sim::advance(1);
  EXPECT_EQ(expiries(), (Log{"at 1000 id 2"}));
  sim::advance(5000);
  EXPECT_TRUE(expiries().empty());
  sim::AppInfo player{};
  ASSERT_TRUE(sim::player_info(&player));
  EXPECT_FALSE(player.timer_running);
}

TEST_F(Timers, ACyclicalTimerKeepsItsRhythmWhateverTheSteps) {
  log_times();
  ASSERT_EQ(APP_UtilStartCyclicalTimer(1000, 0, w.player), 0u);
  sim::advance(1500);
  sim::advance(1600);
  sim::advance(10);
  EXPECT_EQ(expiries(), (Log{"at 1000 id 0", "at 2000 id 0", "at 3000 id 0"}));
  EXPECT_EQ(sim::now_ms(), 3110u);
  sim::AppInfo player{};
  ASSERT_TRUE(sim::player_info(&player));
  EXPECT_TRUE(player.timer_running);
  EXPECT_TRUE(player.timer_cyclical);
  EXPECT_EQ(player.timer_id, 0u);
  EXPECT_EQ(player.timer_period_ms, 1000u);
}

TEST_F(Timers, StartingATimerReplacesTheOneThatRuns) {
  log_times();
  ASSERT_EQ(APP_UtilStartTimer(1000, 2, w.player), 0u);
  ASSERT_EQ(APP_UtilStartCyclicalTimer(300, 6, w.player), 0u);
  sim::advance(1000);
  EXPECT_EQ(expiries(), (Log{"at 300 id 6", "at 600 id 6", "at 900 id 6"}));
}

TEST_F(Timers, StoppingIsHarmlessWhenNoTimerRuns) {
  log_times();
  EXPECT_EQ(APP_UtilStopTimer(w.player), 0u);
  ASSERT_EQ(APP_UtilStartCyclicalTimer(100, 6, w.player), 0u);
  EXPECT_EQ(APP_UtilStopTimer(w.player), 0u);
  EXPECT_EQ(APP_UtilStopTimer(w.player), 0u);
  sim::advance(1000);
  EXPECT_TRUE(expiries().empty());
  EXPECT_NE(APP_UtilStopTimer(nullptr), 0u);
  EXPECT_NE(APP_UtilStartTimer(10, 1, nullptr), 0u);
}

TEST_F(Timers, ATimerStartedInAHandlerCountsFromThatMoment) {
  on("player", EV_TIMER_EXPIRED, [this](EVENT_STACK_T* ev, APPLICATION_T* app) {
    w.log.push_back("at " + std::to_string(sim::now_ms()) + " id " + std::to_string(timer_id(ev)));
    if (timer_id(ev) == 2) {
      APP_UtilStopTimer(app);
      APP_UtilStartCyclicalTimer(100, 6, app);
    }
    return 0u;
  });
  ASSERT_EQ(APP_UtilStartTimer(1000, 2, w.player), 0u);
  sim::advance(1250);
  EXPECT_EQ(expiries(), (Log{"at 1000 id 2", "at 1100 id 6", "at 1200 id 6"}));
}

TEST_F(Timers, TimersDueTogetherFireInStartOrder) {
  // The player's timer is started first, but the shell was started first.
  ASSERT_EQ(APP_UtilStartTimer(500, 7, w.player), 0u);
  ASSERT_EQ(APP_UtilStartTimer(500, 8, w.shell), 0u);
  ASSERT_EQ(APP_UtilStartTimer(400, 9, w.player), 0u);  // replaces 7, and is due earlier
  sim::advance(500);
  EXPECT_EQ(take_log(), (Log{"player timer 9", "shell timer 8"}));
  ASSERT_EQ(APP_UtilStartTimer(500, 7, w.player), 0u);
  ASSERT_EQ(APP_UtilStartTimer(500, 8, w.shell), 0u);
  sim::advance(500);
  EXPECT_EQ(take_log(), (Log{"shell timer 8", "player timer 7"}));
}

TEST_F(Timers, TimersDieWithTheirApplication) {
  ASSERT_EQ(APP_UtilStartCyclicalTimer(100, 1, w.shell), 0u);
  sim::advance(100);
  EXPECT_EQ(take_log(), (Log{"shell timer 1"}));
  ASSERT_EQ(APP_Exit(nullptr, w.shell, 0), 0u);
  sim::advance(1000);
  EXPECT_TRUE(take_log().empty());
}

TEST_F(Timers, AdvanceMovesTheClockExactlyWithNothingDue) {
  sim::advance(1234);
  EXPECT_EQ(sim::now_ms(), 1234u);
  sim::advance(0);
  EXPECT_EQ(sim::now_ms(), 1234u);
}

TEST_F(Timers, AZeroTimerRestartedByItsOwnHandlerDoesNotHangTheClock) {
  on("player", EV_TIMER_EXPIRED, [](EVENT_STACK_T*, APPLICATION_T* app) { return APP_UtilStartTimer(0, 1, app); });
  ASSERT_EQ(APP_UtilStartTimer(0, 1, w.player), 0u);
  sim::advance(10);
  EXPECT_EQ(sim::now_ms(), 10u);
  APP_UtilStopTimer(w.player);
}

TEST_F(Timers, ACyclicalTimerOfZeroStillLetsTheClockMove) {
  log_times();
  ASSERT_EQ(APP_UtilStartCyclicalTimer(0, 3, w.player), 0u);
  sim::advance(3);
  EXPECT_EQ(sim::now_ms(), 3u);
  EXPECT_EQ(expiries(), (Log{"at 0 id 3", "at 1 id 3", "at 2 id 3", "at 3 id 3"}));
}

}  // namespace
}  // namespace simtest
