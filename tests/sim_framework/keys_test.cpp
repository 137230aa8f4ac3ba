// SPDX-License-Identifier: MIT
// Key delivery through the applications, injected keys, and the phone state
// the program reads.
#include <string.h>

#include "sim/internal.h"
#include "test_apps.h"

namespace simtest {
namespace {

using Log = std::vector<std::string>;

class Keys : public Framework {
 protected:
  // The player consumes key 1, the shell key 2; everything else goes on.
  void ConsumeSome() {
    On("player", EV_KEY_PRESS,
       [](EVENT_STACK_T* ev, APPLICATION_T* app) { return AFW_GetEv(ev)->key == 1 ? APP_ConsumeEv(ev, app) : 0u; });
    On("player", EV_KEY_RELEASE,
       [](EVENT_STACK_T* ev, APPLICATION_T* app) { return AFW_GetEv(ev)->key == 1 ? APP_ConsumeEv(ev, app) : 0u; });
    On("shell", EV_SHELL_KEY,
       [](EVENT_STACK_T* ev, APPLICATION_T* app) { return AFW_GetEv(ev)->key == 2 ? APP_ConsumeEv(ev, app) : 0u; });
  }
};

TEST_F(Keys, APressGoesToThePlayerThenTheShellInFrontThenThePhone) {
  struct Case {
    const char* what;
    uint8_t key;
    bool shell_running;
    bool call;
    bool consumed;
    sim::KeyTaker taker;
    Log log;
  } cases[] = {
      {"player takes it", 1, true, false, true, sim::KeyTaker::kPlayer, {"player press 1"}},
      {"shell takes it", 2, true, false, true, sim::KeyTaker::kShell, {"player press 2", "shell key 2"}},
      {"nobody takes it", 3, true, false, false, sim::KeyTaker::kPhone, {"player press 3", "shell key 3"}},
      {"no shell", 2, false, false, false, sim::KeyTaker::kPhone, {"player press 2"}},
      {"call screen covers the shell", 2, true, true, false, sim::KeyTaker::kPhone, {"player press 2"}},
      {"player takes it during a call", 1, true, true, true, sim::KeyTaker::kPlayer, {"player press 1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim::Reset();
    w_.hooks.clear();
    RegisterBoth();
    if (c.shell_running) {
      ASSERT_EQ(LdrStartApp(kShellCode), 0u);
    }
    ASSERT_EQ(LdrStartApp(kPlayerCode), 0u);
    sim::RunPending();
    sim::SetVoiceCall(c.call);
    ConsumeSome();
    TakeLog();
    sim::KeyResult r = sim::Press(c.key);
    EXPECT_EQ(r.consumed, c.consumed);
    EXPECT_EQ(r.taker, c.taker);
    EXPECT_EQ(TakeLog(), c.log);
  }
}

TEST_F(Keys, AReleaseGoesToThePlayerOnly) {
  StartBoth();
  ConsumeSome();
  TakeLog();
  sim::KeyResult r = sim::Release(2);
  EXPECT_FALSE(r.consumed);
  EXPECT_EQ(r.taker, sim::KeyTaker::kPhone);
  EXPECT_EQ(TakeLog(), (Log{"player release 2"}));
  r = sim::Release(1);
  EXPECT_TRUE(r.consumed);
  EXPECT_EQ(r.taker, sim::KeyTaker::kPlayer);
}

TEST_F(Keys, ThePlayerGetsKeysInAnyStateAndWithoutTheShell) {
  RegisterBoth();
  ASSERT_EQ(LdrStartApp(kPlayerCode), 0u);
  ASSERT_EQ(APP_UtilChangeState(3, nullptr, w_.player), 0u);
  TakeLog();
  sim::Press(9);
  sim::Release(9);
  EXPECT_EQ(TakeLog(), (Log{"player press 9", "player release 9"}));
}

TEST_F(Keys, KeysWithNoApplicationGoToThePhone) {
  sim::KeyResult r = sim::Press(4);
  EXPECT_FALSE(r.consumed);
  EXPECT_EQ(r.taker, sim::KeyTaker::kPhone);
}

TEST_F(Keys, InjectedKeysArriveAfterTheHandlerAndAreRecorded) {
  StartBoth();
  TakeLog();
  On("player", EV_KEY_PRESS, [this](EVENT_STACK_T* ev, APPLICATION_T*) {
    if (AFW_GetEv(ev)->key == 9) {
      EXPECT_EQ(DL_KeyInjectKeyPress(5, KEY_INJECT_PRESS, 0), 0u);
      EXPECT_EQ(DL_KeyInjectKeyPress(5, KEY_INJECT_RELEASE, 0), 0u);
      w_.log.push_back("hook end");
    }
    return 0u;
  });
  sim::Press(9);
  EXPECT_EQ(TakeLog(),
            (Log{"player press 9", "hook end", "shell key 9", "player press 5", "shell key 5", "player release 5"}));
  sim::InjectedKey keys[4];
  ASSERT_EQ(sim::TakeInjectedKeys(keys, 4), 2u);
  EXPECT_EQ(keys[0].key, 5);
  EXPECT_FALSE(keys[0].release);
  EXPECT_EQ(keys[1].key, 5);
  EXPECT_TRUE(keys[1].release);
  EXPECT_EQ(sim::TakeInjectedKeys(keys, 4), 0u);
}

TEST_F(Keys, TakingInjectedKeysInPiecesKeepsTheirOrder) {
  for (uint8_t k = 1; k <= 5; ++k) DL_KeyInjectKeyPress(k, KEY_INJECT_PRESS, 0);
  sim::RunPending();
  sim::InjectedKey keys[3];
  ASSERT_EQ(sim::TakeInjectedKeys(keys, 3), 3u);
  EXPECT_EQ(keys[2].key, 3);
  ASSERT_EQ(sim::TakeInjectedKeys(keys, 3), 2u);
  EXPECT_EQ(keys[0].key, 4);
  EXPECT_EQ(keys[1].key, 5);
  EXPECT_EQ(sim::TakeInjectedKeys(nullptr, 3), 0u);
}

TEST_F(Keys, AFullRecordOfInjectedKeysKeepsTheNewest) {
  // The queue of events is smaller than the record: inject in rounds.
  for (int k = 0; k < 100; ++k) {
    DL_KeyInjectKeyPress((uint8_t)k, KEY_INJECT_PRESS, 0);
    sim::RunPending();
  }
  sim::InjectedKey keys[100];
  ASSERT_EQ(sim::TakeInjectedKeys(keys, 100), 64u);
  EXPECT_EQ(keys[0].key, 36);
  EXPECT_EQ(keys[63].key, 99);
}

TEST_F(Keys, KeypadLockIsReadThroughTheFeatureDatabase) {
  struct Case {
    bool locked;
    uint16_t feature;
    uint8_t state;
  } cases[] = {
      {false, sim::internal::kKeypadLockFeature, 0},
      {true, sim::internal::kKeypadLockFeature, 1},
      {true, 0x0124, 0},  // another feature
  };
  for (const Case& c : cases) {
    sim::SetKeypadLock(c.locked);
    uint8_t state = 0xAA;
    EXPECT_EQ(DL_DbFeatureGetCurrentState(c.feature, &state), 0u);
    EXPECT_EQ(state, c.state) << c.locked << " " << c.feature;
  }
  EXPECT_NE(DL_DbFeatureGetCurrentState(sim::internal::kKeypadLockFeature, nullptr), 0u);
}

TEST_F(Keys, TheActiveDialogFollowsCallShellAndFront) {
  struct Case {
    const char* what;
    bool shell;
    uint32_t canvas;
    bool call;
    sim::Front front;
    int expect;  // -1: anything but the idle screen and the other application
  } cases[] = {
      {"idle screen", false, 0, false, sim::Front::kIdle, 14},
      {"another application", false, 0, false, sim::Front::kOther, 7},
      {"shell without canvas", true, 0, false, sim::Front::kIdle, 14},
      {"shell with canvas", true, 0x31, false, sim::Front::kIdle, -1},
      {"call over the shell", true, 0x31, true, sim::Front::kIdle, 0x30},
      {"call over the idle screen", false, 0, true, sim::Front::kIdle, 0x30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim::Reset();
    RegisterBoth();
    if (c.shell) {
      sim::SetNextTokenGrant(0, 1);
      ASSERT_EQ(LdrStartApp(kShellCode), 0u);
      sim::RunPending();
      w_.shell->dialog = c.canvas;
    }
    sim::SetFront(c.front);
    sim::SetVoiceCall(c.call);
    uint8_t type = 0;
    ASSERT_EQ(UIS_GetActiveDialogType(&type), 0u);
    EXPECT_EQ(type, sim::ActiveDialogType());
    if (c.expect >= 0) {
      EXPECT_EQ(type, c.expect);
    } else {
      EXPECT_NE(type, 14);
      EXPECT_NE(type, 7);
    }
    if (c.shell) w_.shell->dialog = 0;  // not a canvas the stand-in made
  }
  EXPECT_NE(UIS_GetActiveDialogType(nullptr), 0u);
}

TEST_F(Keys, VolumeIsKeptPerTypeWithinItsRange) {
  uint8_t level = 0;
  for (uint8_t type = 0; type < 8; ++type) {
    ASSERT_EQ(DL_AudGetVolumeSetting(type, &level), 0u);
    EXPECT_EQ(level, 4);
  }
  EXPECT_EQ(DL_AudSetVolumeSetting(4, 7), 0u);
  EXPECT_EQ(sim::Volume(4), 7);
  EXPECT_EQ(sim::Volume(2), 4);
  EXPECT_TRUE(HasFact(sim::Fact::kVolume, 7));
  // Out of range: refused, nothing changes.
  EXPECT_NE(DL_AudSetVolumeSetting(4, 8), 0u);
  EXPECT_NE(DL_AudSetVolumeSetting(200, 1), 0u);
  EXPECT_EQ(sim::Volume(4), 7);
  level = 0x55;
  EXPECT_NE(DL_AudGetVolumeSetting(200, &level), 0u);
  EXPECT_EQ(level, 0x55);
  EXPECT_NE(DL_AudGetVolumeSetting(2, nullptr), 0u);
  sim::SetVolume(2, 9);
  EXPECT_EQ(sim::Volume(2), 7);
  sim::SetVolume(2, 0);
  ASSERT_EQ(DL_AudGetVolumeSetting(2, &level), 0u);
  EXPECT_EQ(level, 0);
}

TEST_F(Keys, IndicatorTonesAndPlatformName) {
  EXPECT_EQ(UIS_SetStatus(sim::internal::kIndicatorId, 2), 0u);
  EXPECT_EQ(sim::Indicator(), 2);
  EXPECT_TRUE(HasFact(sim::Fact::kIndicator, 2));
  UIS_SetStatus(sim::internal::kIndicatorId + 1, 1);  // another indicator
  EXPECT_EQ(sim::Indicator(), 2);

  EXPECT_EQ(sim::TonesPlayed(), 0u);
  DL_AudPlayTone(0, 1);
  DL_AudPlayTone(0, 1);
  EXPECT_EQ(sim::TonesPlayed(), 2u);

  EXPECT_STREQ(LdrGetPlatformName(), "ZQ");
  sim::SetPlatformName("LTE");
  EXPECT_STREQ(LdrGetPlatformName(), "LTE");
  std::string long_name(500, 'x');
  sim::SetPlatformName(long_name.c_str());
  EXPECT_LT(strlen(LdrGetPlatformName()), long_name.size());
  sim::SetPlatformName(nullptr);
  EXPECT_STREQ(LdrGetPlatformName(), "");
  sim::Reset();
  EXPECT_STREQ(LdrGetPlatformName(), "ZQ");
  EXPECT_EQ(sim::Indicator(), 0);
}

TEST_F(Keys, TheEndOfACallRedrawsTheShell) {
  StartBoth();
  TakeLog();
  EXPECT_EQ(APP_MMC_Util_IsVoiceCall(), 0u);
  sim::SetVoiceCall(true);
  EXPECT_EQ(APP_MMC_Util_IsVoiceCall(), 1u);
  EXPECT_TRUE(sim::VoiceCall());
  EXPECT_TRUE(TakeLog().empty());
  sim::SetVoiceCall(false);
  EXPECT_EQ(APP_MMC_Util_IsVoiceCall(), 0u);
  EXPECT_EQ(TakeLog(), (Log{"shell 14"}));
  sim::SetVoiceCall(false);  // no change, no redraw
  EXPECT_TRUE(TakeLog().empty());
}

}  // namespace
}  // namespace simtest
