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
  void start_three() {
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) add_track(name);
    ASSERT_TRUE(start("a.mp3"));
  }
  void hide_screen(sim::Front front) {
    close_screen();
    sim::set_front(front);
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
      {"two ticks, idle screen", sim::Front::Idle, false, 2000, true},
      {"two ticks, background", sim::Front::Other, false, 2000, true},
      {"five ticks", sim::Front::Idle, false, 5000, true},
      {"one tick", sim::Front::Idle, false, 1000, false},
      {"no tick", sim::Front::Idle, false, 500, false},
      {"paused", sim::Front::Idle, true, 5000, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    restart_machine();
    start_three();
    sim::advance(2500);
    hide_screen(c.front);
    if (c.paused) sim::press(c.front == sim::Front::Idle ? kMediaPlay : kBgPlay);
    sim::press(kStar);
    sim::advance(c.held_ms);
    EXPECT_FALSE(sim::release(kStar).consumed);
    EXPECT_EQ(shell_running(), c.opens);
    EXPECT_EQ(ps().isCanvas, c.opens ? 1 : 0);
    EXPECT_EQ(sim::shell_starts(), c.opens ? 2u : 1u);
    // A new shell waits for the token again and makes a new canvas.
    EXPECT_EQ(sim::canvas_exists(), c.opens);
    if (c.opens) {
      EXPECT_EQ(shell().state, 2u);
    }
    end_program();
    EXPECT_EQ(sim::leaked_blocks(), 0u);
  }
}

// The star press that closes the screen must not open it again on release,
// however long the track has played before.
TEST_F(Keys, TheStarThatClosesTheScreenDoesNotReopenIt) {
  start_three();
  seconds(10);
  EXPECT_TRUE(sim::press(kStar).consumed);  // the shell takes it and closes
  EXPECT_FALSE(shell_running());
  sim::release(kStar);
  EXPECT_FALSE(shell_running());
  EXPECT_EQ(sim::shell_starts(), 1u);
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
    restart_machine();
    start_three();
    sim::set_volume(AUD_VOLUME_TYPE_DEFAULT, c.start_level);
    EXPECT_TRUE(sim::press(c.key).consumed);
    EXPECT_EQ(sim::volume(AUD_VOLUME_TYPE_DEFAULT), c.level);
    // Written back also when it stays.
    EXPECT_EQ(count(sim::Fact::Volume, c.level), 1u);
    end_program();
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
    restart_machine();
    sim::set_platform_name(c.platform);
    start_three();
    sim::press(kVolUp);
    EXPECT_EQ(sim::volume(c.type), 5);
    uint8_t other = c.type == AUD_VOLUME_TYPE_LTE ? AUD_VOLUME_TYPE_DEFAULT : AUD_VOLUME_TYPE_LTE;
    EXPECT_EQ(sim::volume(other), 4);
    end_program();
  }
}

TEST_F(Keys, TheVolumeKeysOnTheIdleScreenDrawNothing) {
  start_three();
  hide_screen(sim::Front::Idle);
  sim::canvas_log_clear();
  EXPECT_TRUE(sim::press(kSideUp).consumed);
  EXPECT_EQ(sim::volume(AUD_VOLUME_TYPE_DEFAULT), 5);
  EXPECT_EQ(sim::canvas_log_size(), 0u);
}

TEST_F(Keys, ThePlayKeysOfEachContextPauseAndResume) {
  start_three();
  seconds(2);
  EXPECT_TRUE(sim::press(kMediaPlay).consumed);
  EXPECT_EQ(ps().State_Player, PLAYER_PAUSED);
  EXPECT_TRUE(sim::press(kMediaPlay).consumed);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
  hide_screen(sim::Front::Other);
  EXPECT_TRUE(sim::press(kBgPlay).consumed);
  EXPECT_EQ(ps().State_Player, PLAYER_PAUSED);
  EXPECT_TRUE(sim::press(kBgPlay).consumed);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
}

// In the background key 0x15 is not tested against the call: it is taken,
// but the engine does not start while the call lasts.
TEST_F(Keys, TheBackgroundPlayKeyIsTakenDuringACall) {
  start_three();
  seconds(3);
  hide_screen(sim::Front::Other);
  sim::set_voice_call(true);
  ASSERT_EQ(ps().State_Player, PLAYER_PAUSED);
  EXPECT_TRUE(sim::press(kBgPlay).consumed);
  EXPECT_EQ(ps().State_Player, PLAYER_PAUSED);
  EXPECT_EQ(ps().allowPlay, 1);
  sim::set_voice_call(false);
  EXPECT_TRUE(sim::press(kBgPlay).consumed);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
}

TEST_F(Keys, ALockedKeypadIgnoresPressesAndReleases) {
  start_three();
  seconds(3);
  sim::set_keypad_lock(true);
  for (uint8_t key : {kPlay, kStop, kSeekFwd, kVolUp, kMode, kMediaStop, kExit, kExitAnywhere}) {
    EXPECT_FALSE(sim::press(key).consumed) << int(key);
  }
  // A release whose press was ignored changes no track.
  sim::release(kSeekFwd);
  sim::release(kMediaBack);
  EXPECT_EQ(track(), "a.mp3");
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
  EXPECT_EQ(ps().circle_s, MODE_LIST);
  EXPECT_EQ(sim::volume(AUD_VOLUME_TYPE_DEFAULT), 4);
  EXPECT_FALSE(sim::unload_requested());
  // Nor does a star release open the hidden screen.
  sim::set_keypad_lock(false);
  close_screen();
  sim::set_keypad_lock(true);
  seconds(3);
  sim::release(kStar);
  EXPECT_FALSE(shell_running());
  sim::set_keypad_lock(false);
}

TEST_F(Keys, TheKeyInjectedEverySecondCausesNoAction) {
  start_three();
  sim::take_injected_keys(nullptr, 0);
  seconds(1);
  sim::InjectedKey keys[8];
  ASSERT_EQ(sim::take_injected_keys(keys, 8), 2u);
  EXPECT_EQ(keys[0].key, 5);
  EXPECT_FALSE(keys[0].release);
  EXPECT_EQ(keys[1].key, 5);
  EXPECT_TRUE(keys[1].release);
  EXPECT_FALSE(sim::press(5).consumed);
  sim::release(5);
  seconds(2);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
  EXPECT_EQ(ps().timePosition, 3u);
  EXPECT_TRUE(shell_running());
  // With the screen hidden nothing is injected.
  close_screen();
  sim::InjectedKey drop[8];
  sim::take_injected_keys(drop, 8);
  seconds(2);
  EXPECT_EQ(sim::take_injected_keys(drop, 8), 0u);
}

// The player's own timer replaced by one of an id it does not use.
TEST_F(Keys, TimersOfUnknownIdsCauseNoAction) {
  for (uint32_t id : {1u, 3u, 7u, 8u, 100u}) {
    SCOPED_TRACE(id);
    restart_machine();
    start_three();
    seconds(2);
    sim::fw::App* apps[sim::fw::kMaxApps];
    int n = sim::fw::running_in_start_order(apps, sim::fw::kMaxApps);
    APPLICATION_T* record = nullptr;
    for (int i = 0; i < n; ++i)
      if (apps[i]->prepost) record = reinterpret_cast<APPLICATION_T*>(apps[i]->record);
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(APP_UtilStartTimer(500, id, record), 0u);
    clear_facts();
    sim::advance(3000);
    EXPECT_EQ(ps().timePosition, 2u);
    EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
    EXPECT_EQ(ps().LongPress, 0);
    EXPECT_EQ(track(), "a.mp3");
    EXPECT_EQ(count(sim::Fact::Track), 0u);
    EXPECT_EQ(count(sim::Fact::EnginePause), 0u);
    EXPECT_EQ(count(sim::Fact::EngineSeek), 0u);
    end_program();
  }
}

TEST_F(Keys, TheSideKeysHeldInTheBackgroundChangeTheTrackASecondLater) {
  struct Case {
    uint8_t key;
    const char* next;
  };
  for (Case c : {Case{kSideUp, "b.mp3"}, Case{kSideDown, "c.mp3"}}) {
    SCOPED_TRACE(int(c.key));
    restart_machine();
    start_three();
    hide_screen(sim::Front::Other);
    EXPECT_FALSE(sim::press(c.key).consumed);
    sim::release(c.key);  // the release does not cancel the change
    sim::advance(999);
    EXPECT_EQ(track(), "a.mp3");
    sim::advance(1);
    EXPECT_EQ(track(), c.next);
    EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
    EXPECT_EQ(player_app().timer_id, 0u);
    end_program();
  }
}

TEST_F(Keys, ThePlayModeCyclesThroughSingleRepeatAndList) {
  start_three();
  std::vector<int> modes;
  for (int i = 0; i < 4; ++i) {
    sim::press(kMode);
    modes.push_back(ps().circle_s);
  }
  EXPECT_EQ(modes, (std::vector<int>{MODE_SINGLE, MODE_REPEAT, MODE_LIST, MODE_SINGLE}));
}

}  // namespace
}  // namespace scenario
