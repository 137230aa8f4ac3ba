// SPDX-License-Identifier: MIT
// The star key that shows the hidden screen, volume limits, the keypad lock,
// the voice call, the injected key activity and timers the player does not
// know.
#include "platform/framework.h"
#include "scenario.h"
#include "sim/framework.h"

namespace scenario {
namespace {

class Keys : public Scenario {
 protected:
  void StartThree() {
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) AddTrack(name);
    ASSERT_TRUE(Start("a.mp3"));
  }
  void HideScreen(sim::Front front) {
    CloseScreen();
    sim::SetFront(front);
  }
};

struct StarCase {
  const char* name;
  sim::Front front;
  bool paused;
  uint32_t held_ms;
  bool opens;
};

// With the screen hidden, the star held across two ticks of a playing track
// shows the screen again.
TEST_F(Keys, TheStarHeldAcrossTwoTicksShowsTheScreen) {
  const StarCase cases[] = {
      {"two ticks, idle screen", sim::Front::kIdle, false, 2000, true},
      {"two ticks, background", sim::Front::kOther, false, 2000, true},
      {"five ticks", sim::Front::kIdle, false, 5000, true},
      {"one tick", sim::Front::kIdle, false, 1000, false},
      {"no tick", sim::Front::kIdle, false, 500, false},
      {"paused", sim::Front::kIdle, true, 5000, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RestartMachine();
    StartThree();
    sim::Advance(2500);
    HideScreen(c.front);
    if (c.paused) sim::Press(c.front == sim::Front::kIdle ? kMediaPlay : kBgPlay);
    sim::Press(kStar);
    sim::Advance(c.held_ms);
    EXPECT_FALSE(sim::Release(kStar).consumed);
    EXPECT_EQ(ShellRunning(), c.opens);
    EXPECT_EQ(Ps().isCanvas, c.opens ? 1 : 0);
    EXPECT_EQ(sim::ShellStarts(), c.opens ? 2u : 1u);
    // A new shell waits for the token again and makes a new canvas.
    EXPECT_EQ(sim::CanvasExists(), c.opens);
    if (c.opens) {
      EXPECT_EQ(ShellInfo().state, 2u);
    }
    EndProgram();
    EXPECT_EQ(sim::LeakedBlocks(), 0u);
  }
}

// The star press that closes the screen must not open it again on release,
// however long the track has played before.
TEST_F(Keys, TheStarThatClosesTheScreenDoesNotReopenIt) {
  StartThree();
  Seconds(10);
  EXPECT_TRUE(sim::Press(kStar).consumed);  // the shell takes it and closes
  EXPECT_FALSE(ShellRunning());
  sim::Release(kStar);
  EXPECT_FALSE(ShellRunning());
  EXPECT_EQ(sim::ShellStarts(), 1u);
}

TEST_F(Keys, VolumeStaysWithinZeroAndSeven) {
  struct Case {
    uint8_t start_level;
    uint8_t key;
    uint8_t level;
  };
  const Case cases[] = {{7, kVolUp, 7},   {6, kVolUp, 7},  {0, kVolDown, 0},
                        {1, kVolDown, 0}, {7, kSideUp, 7}, {0, kSideDown, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.key) << " at " << int(c.start_level));
    RestartMachine();
    StartThree();
    sim::SetVolume(AUD_VOLUME_TYPE_DEFAULT, c.start_level);
    EXPECT_TRUE(sim::Press(c.key).consumed);
    EXPECT_EQ(sim::Volume(AUD_VOLUME_TYPE_DEFAULT), c.level);
    // Written back also when it stays.
    EXPECT_EQ(count(sim::Fact::kVolume, c.level), 1u);
    EndProgram();
  }
}

TEST_F(Keys, OnThePlatformNamedLteTheVolumeIsOfTypeFour) {
  struct Case {
    const char* platform;
    uint8_t type;
  };
  for (Case c : {Case{"LTE", AUD_VOLUME_TYPE_LTE}, Case{"LTE2", AUD_VOLUME_TYPE_DEFAULT},
                 Case{"lte", AUD_VOLUME_TYPE_DEFAULT}, Case{"", AUD_VOLUME_TYPE_DEFAULT}}) {
    SCOPED_TRACE(c.platform);
    RestartMachine();
    sim::SetPlatformName(c.platform);
    StartThree();
    sim::Press(kVolUp);
    EXPECT_EQ(sim::Volume(c.type), 5);
    uint8_t other = c.type == AUD_VOLUME_TYPE_LTE ? AUD_VOLUME_TYPE_DEFAULT : AUD_VOLUME_TYPE_LTE;
    EXPECT_EQ(sim::Volume(other), 4);
    EndProgram();
  }
}

TEST_F(Keys, TheVolumeKeysOnTheIdleScreenDrawNothing) {
  StartThree();
  HideScreen(sim::Front::kIdle);
  sim::CanvasLogClear();
  EXPECT_TRUE(sim::Press(kSideUp).consumed);
  EXPECT_EQ(sim::Volume(AUD_VOLUME_TYPE_DEFAULT), 5);
  EXPECT_EQ(sim::CanvasLogSize(), 0u);
}

TEST_F(Keys, ThePlayKeysOfEachContextPauseAndResume) {
  StartThree();
  Seconds(2);
  EXPECT_TRUE(sim::Press(kMediaPlay).consumed);
  EXPECT_EQ(Ps().State_Player, kPlayerPaused);
  EXPECT_TRUE(sim::Press(kMediaPlay).consumed);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
  HideScreen(sim::Front::kOther);
  EXPECT_TRUE(sim::Press(kBgPlay).consumed);
  EXPECT_EQ(Ps().State_Player, kPlayerPaused);
  EXPECT_TRUE(sim::Press(kBgPlay).consumed);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
}

// In the background key 0x15 is not tested against the call: it is taken,
// but the engine does not start while the call lasts.
TEST_F(Keys, TheBackgroundPlayKeyIsTakenDuringACall) {
  StartThree();
  Seconds(3);
  HideScreen(sim::Front::kOther);
  sim::SetVoiceCall(true);
  ASSERT_EQ(Ps().State_Player, kPlayerPaused);
  EXPECT_TRUE(sim::Press(kBgPlay).consumed);
  EXPECT_EQ(Ps().State_Player, kPlayerPaused);
  EXPECT_EQ(Ps().allowPlay, 1);
  sim::SetVoiceCall(false);
  EXPECT_TRUE(sim::Press(kBgPlay).consumed);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
}

TEST_F(Keys, ALockedKeypadIgnoresPressesAndReleases) {
  StartThree();
  Seconds(3);
  sim::SetKeypadLock(true);
  for (uint8_t key : {kPlay, kStop, kSeekFwd, kVolUp, kMode, kMediaStop, kExit, kExitAnywhere}) {
    EXPECT_FALSE(sim::Press(key).consumed) << int(key);
  }
  // A release whose press was ignored changes no track.
  sim::Release(kSeekFwd);
  sim::Release(kMediaBack);
  EXPECT_EQ(Track(), "a.mp3");
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
  EXPECT_EQ(Ps().circle_s, kModeList);
  EXPECT_EQ(sim::Volume(AUD_VOLUME_TYPE_DEFAULT), 4);
  EXPECT_FALSE(sim::UnloadRequested());
  // Nor does a star release open the hidden screen.
  sim::SetKeypadLock(false);
  CloseScreen();
  sim::SetKeypadLock(true);
  Seconds(3);
  sim::Release(kStar);
  EXPECT_FALSE(ShellRunning());
  sim::SetKeypadLock(false);
}

TEST_F(Keys, TheKeyInjectedEverySecondCausesNoAction) {
  StartThree();
  sim::TakeInjectedKeys(nullptr, 0);
  Seconds(1);
  sim::InjectedKey keys[8];
  ASSERT_EQ(sim::TakeInjectedKeys(keys, 8), 2u);
  EXPECT_EQ(keys[0].key, 5);
  EXPECT_FALSE(keys[0].release);
  EXPECT_EQ(keys[1].key, 5);
  EXPECT_TRUE(keys[1].release);
  EXPECT_FALSE(sim::Press(5).consumed);
  sim::Release(5);
  Seconds(2);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
  EXPECT_EQ(Ps().timePosition, 3u);
  EXPECT_TRUE(ShellRunning());
  // With the screen hidden nothing is injected.
  CloseScreen();
  sim::InjectedKey drop[8];
  sim::TakeInjectedKeys(drop, 8);
  Seconds(2);
  EXPECT_EQ(sim::TakeInjectedKeys(drop, 8), 0u);
}

// The player's own timer replaced by one of an id it does not use.
TEST_F(Keys, TimersOfUnknownIdsCauseNoAction) {
  for (uint32_t id : {1u, 3u, 7u, 8u, 100u}) {
    SCOPED_TRACE(id);
    RestartMachine();
    StartThree();
    Seconds(2);
    sim::fw::App* apps[sim::fw::kMaxApps];
    int n = sim::fw::RunningInStartOrder(apps, sim::fw::kMaxApps);
    APPLICATION_T* record = nullptr;
    for (int i = 0; i < n; ++i)
      if (apps[i]->prepost) record = reinterpret_cast<APPLICATION_T*>(apps[i]->record);
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(APP_UtilStartTimer(500, id, record), 0u);
    ClearFacts();
    sim::Advance(3000);
    EXPECT_EQ(Ps().timePosition, 2u);
    EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
    EXPECT_EQ(Ps().LongPress, 0);
    EXPECT_EQ(Track(), "a.mp3");
    EXPECT_EQ(count(sim::Fact::kTrack), 0u);
    EXPECT_EQ(count(sim::Fact::kEnginePause), 0u);
    EXPECT_EQ(count(sim::Fact::kEngineSeek), 0u);
    EndProgram();
  }
}

TEST_F(Keys, TheSideKeysHeldInTheBackgroundChangeTheTrackASecondLater) {
  struct Case {
    uint8_t key;
    const char* next;
  };
  for (Case c : {Case{kSideUp, "b.mp3"}, Case{kSideDown, "c.mp3"}}) {
    SCOPED_TRACE(int(c.key));
    RestartMachine();
    StartThree();
    HideScreen(sim::Front::kOther);
    EXPECT_FALSE(sim::Press(c.key).consumed);
    sim::Release(c.key);  // the release does not cancel the change
    sim::Advance(999);
    EXPECT_EQ(Track(), "a.mp3");
    sim::Advance(1);
    EXPECT_EQ(Track(), c.next);
    EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
    EXPECT_EQ(PlayerApp().timer_id, 0u);
    EndProgram();
  }
}

TEST_F(Keys, ThePlayModeCyclesThroughSingleRepeatAndList) {
  StartThree();
  std::vector<int> modes;
  for (int i = 0; i < 4; ++i) {
    sim::Press(kMode);
    modes.push_back(Ps().circle_s);
  }
  EXPECT_EQ(modes, (std::vector<int>{kModeSingle, kModeRepeat, kModeList, kModeSingle}));
}

}  // namespace
}  // namespace scenario
