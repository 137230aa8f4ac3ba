// SPDX-License-Identifier: MIT
// Reset and the observer.
#include "sim/internal.h"
#include "test_apps.h"

namespace simtest {
namespace {

class Machine : public Framework {};

TEST_F(Machine, ResetPutsThePhoneBackToItsFirstState) {
  StartBoth();
  APP_UtilStartCyclicalTimer(100, 0, w_.player);
  sim::SetKeypadLock(true);
  sim::SetVoiceCall(true);
  sim::SetFront(sim::Front::kOther);
  sim::SetPlatformName("LTE");
  sim::SetVolume(2, 7);
  UIS_SetStatus(sim::internal::kIndicatorId, 1);
  DL_AudPlayTone(0, 1);
  DL_KeyInjectKeyPress(5, 0, 0);
  sim::Advance(250);

  sim::Reset();
  TakeLog();
  EXPECT_EQ(sim::NowMs(), 0u);
  uint8_t locked = 9;
  DL_DbFeatureGetCurrentState(sim::internal::kKeypadLockFeature, &locked);
  EXPECT_EQ(locked, 0);
  EXPECT_FALSE(sim::VoiceCall());
  EXPECT_EQ(sim::CurrentFront(), sim::Front::kIdle);
  EXPECT_STREQ(LdrGetPlatformName(), "ZQ");
  EXPECT_EQ(sim::Volume(2), 4);
  EXPECT_EQ(sim::Indicator(), 0);
  EXPECT_EQ(sim::TonesPlayed(), 0u);
  sim::InjectedKey keys[2];
  EXPECT_EQ(sim::TakeInjectedKeys(keys, 2), 0u);
  sim::AppInfo info{};
  EXPECT_FALSE(sim::ShellInfo(&info));
  EXPECT_FALSE(sim::PlayerInfo(&info));
  EXPECT_EQ(sim::ShellStarts(), 0u);
  EXPECT_NE(LdrStartApp(kShellCode), 0u);  // registrations are gone
  sim::Advance(1000);
  EXPECT_TRUE(TakeLog().empty());  // so are the timers
}

TEST_F(Machine, ResetDropsTheObserverAndEverySetupRunsTheSameWay) {
  StartBoth();
  size_t seen = w_.facts.size();
  EXPECT_GT(seen, 0u);
  sim::Reset();
  RegisterBoth();
  ASSERT_EQ(LdrStartApp(kShellCode), 0u);
  sim::RunPending();
  EXPECT_EQ(w_.facts.size(), seen);  // nobody told after the reset
  sim::AppInfo first{};
  ASSERT_TRUE(sim::ShellInfo(&first));
  uint32_t first_port = w_.shell->port;

  // The same steps after another reset give the same identifiers.
  sim::Reset();
  RegisterBoth();
  ASSERT_EQ(LdrStartApp(kShellCode), 0u);
  sim::RunPending();
  sim::AppInfo second{};
  ASSERT_TRUE(sim::ShellInfo(&second));
  EXPECT_EQ(first.reg_id, second.reg_id);
  EXPECT_EQ(w_.shell->port, first_port);
}

TEST_F(Machine, EveryDispatchedEventIsReportedOnceDone) {
  StartBoth();
  w_.facts.clear();
  AFW_CreateInternalQueuedEvAux(0x4242, 100, 0, nullptr);
  sim::RunPending();
  EXPECT_EQ(CountFact(sim::Fact::kEventDone, 0x4242), 2);
  EXPECT_EQ(w_.facts.size(), 2u);
}

}  // namespace
}  // namespace simtest
