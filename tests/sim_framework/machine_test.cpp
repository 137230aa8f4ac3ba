// Reset and the observer.
#include "sim/internal.h"
#include "test_apps.h"

namespace simtest {
namespace {

class Machine : public Framework {};

TEST_F(Machine, ResetPutsThePhoneBackToItsFirstState) {
  start_both();
  APP_UtilStartCyclicalTimer(100, 0, w.player);
  sim::set_keypad_lock(true);
  sim::set_voice_call(true);
  sim::set_front(sim::Front::Other);
  sim::set_platform_name("LTE");
  sim::set_volume(2, 7);
  UIS_SetStatus(sim::internal::kIndicatorId, 1);
  DL_AudPlayTone(0, 1);
  DL_KeyInjectKeyPress(5, 0, 0);
  sim::advance(250);

  sim::reset();
  take_log();
  EXPECT_EQ(sim::now_ms(), 0u);
  uint8_t locked = 9;
  DL_DbFeatureGetCurrentState(sim::internal::kKeypadLockFeature, &locked);
  EXPECT_EQ(locked, 0);
  EXPECT_FALSE(sim::voice_call());
  EXPECT_EQ(sim::front(), sim::Front::Idle);
  EXPECT_STREQ(LdrGetPlatformName(), "ZQ");
  EXPECT_EQ(sim::volume(2), 4);
  EXPECT_EQ(sim::indicator(), 0);
  EXPECT_EQ(sim::tones_played(), 0u);
  sim::InjectedKey keys[2];
  EXPECT_EQ(sim::take_injected_keys(keys, 2), 0u);
  sim::AppInfo info{};
  EXPECT_FALSE(sim::shell_info(&info));
  EXPECT_FALSE(sim::player_info(&info));
  EXPECT_EQ(sim::shell_starts(), 0u);
  EXPECT_NE(LdrStartApp(kShellCode), 0u);  // registrations are gone
  sim::advance(1000);
  EXPECT_TRUE(take_log().empty());  // so are the timers
}

TEST_F(Machine, ResetDropsTheObserverAndEverySetupRunsTheSameWay) {
  start_both();
  size_t seen = w.facts.size();
  EXPECT_GT(seen, 0u);
  sim::reset();
  register_both();
  ASSERT_EQ(LdrStartApp(kShellCode), 0u);
  sim::run_pending();
  EXPECT_EQ(w.facts.size(), seen);  // nobody told after the reset
  sim::AppInfo first{};
  ASSERT_TRUE(sim::shell_info(&first));
  uint32_t first_port = w.shell->port;

  // The same steps after another reset give the same identifiers.
  sim::reset();
  register_both();
  ASSERT_EQ(LdrStartApp(kShellCode), 0u);
  sim::run_pending();
  sim::AppInfo second{};
  ASSERT_TRUE(sim::shell_info(&second));
  EXPECT_EQ(first.reg_id, second.reg_id);
  EXPECT_EQ(w.shell->port, first_port);
}

TEST_F(Machine, EveryDispatchedEventIsReportedOnceDone) {
  start_both();
  w.facts.clear();
  AFW_CreateInternalQueuedEvAux(0x4242, 100, 0, nullptr);
  sim::run_pending();
  EXPECT_EQ(count_fact(sim::Fact::EventDone, 0x4242), 2);
  EXPECT_EQ(w.facts.size(), 2u);
}

}  // namespace
}  // namespace simtest
