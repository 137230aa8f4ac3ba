// The shell: UI token, canvas, redraw, close keys, and its end with the player.
#include "platform/framework.h"
#include "scenario.h"

namespace scenario {
namespace {

using Shell = Scenario;

TEST_F(Shell, AStartWhileAShellRunsIsRefusedAndLeavesItAlone) {
  add_track("a.mp3");
  ASSERT_TRUE(start("a.mp3"));
  uint32_t dialog = shell().dialog;
  ASSERT_NE(dialog, 0u);
  EXPECT_EQ(LdrStartApp(kBase), 1u);
  EXPECT_EQ(sim::shell_starts(), 1u);
  EXPECT_EQ(shell().dialog, dialog);
  EXPECT_TRUE(sim::canvas_exists());
  EXPECT_EQ(ps().isCanvas, 1);
}

struct TokenCase {
  const char* name;
  uint32_t result;
  uint8_t status;
};

// Without a held token the shell waits in its init state: no canvas, and the
// player plays on regardless.
TEST_F(Shell, AShellWithoutAHeldTokenStaysInItsInitState) {
  const TokenCase cases[] = {{"granted, status 1", 0, 1}, {"granted, status 0", 0, 0}, {"refused", 7, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    restart_machine();
    add_track("a.mp3");
    sim::set_next_token_grant(c.result, c.status);
    ASSERT_TRUE(start("a.mp3"));
    EXPECT_TRUE(shell().running);
    EXPECT_EQ(shell().state, 1u);
    EXPECT_EQ(ps().isCanvas, 0);
    EXPECT_FALSE(sim::canvas_exists());
    EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
    end_program();
    EXPECT_TRUE(sim::unload_requested());
    EXPECT_EQ(sim::leaked_blocks(), 0u);
  }
}

TEST_F(Shell, AFailedCanvasLeavesTheShellWithoutScreenAndThePlayerUntouched) {
  add_track("a.mp3");
  sim::fail_canvas_creation(1);
  ASSERT_TRUE(start("a.mp3"));
  EXPECT_EQ(shell().state, 2u);
  EXPECT_EQ(ps().isCanvas, 0);
  EXPECT_FALSE(sim::canvas_exists());
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
  // A redraw (the call screen going away) draws nothing without a canvas.
  sim::canvas_log_clear();
  sim::set_voice_call(true);
  sim::set_voice_call(false);
  EXPECT_EQ(sim::canvas_log_size(), 0u);
  seconds(3);
  EXPECT_EQ(sim::canvas_log_size(), 0u);
}

TEST_F(Shell, TheShellRedrawsWhenItComesBackToTheFront) {
  add_track("a.mp3");
  ASSERT_TRUE(start("a.mp3"));
  sim::canvas_log_clear();
  sim::set_voice_call(true);
  sim::set_voice_call(false);
  EXPECT_GT(sim::canvas_log_size(), 0u);
}

// The close keys end the shell only: the music goes on.
TEST_F(Shell, CloseKeysEndTheShellAndPlaybackGoesOn) {
  for (uint8_t key : {kStar, kClose}) {
    SCOPED_TRACE(key);
    restart_machine();
    add_track("a.mp3");
    ASSERT_TRUE(start("a.mp3"));
    seconds(2);
    sim::KeyResult r = sim::press(key);
    EXPECT_TRUE(r.consumed);
    EXPECT_EQ(r.taker, sim::KeyTaker::Shell);
    sim::release(key);
    EXPECT_FALSE(shell_running());
    EXPECT_EQ(ps().isCanvas, 0);
    EXPECT_FALSE(sim::canvas_exists());
    EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
    seconds(3);
    EXPECT_EQ(ps().timePosition, 5u);
    EXPECT_EQ(sim::shell_starts(), 1u);
    end_program();
    EXPECT_EQ(sim::leaked_blocks(), 0u);
  }
}

TEST_F(Shell, OtherKeysReachTheShellAndLeaveItOpen) {
  add_track("a.mp3");
  ASSERT_TRUE(start("a.mp3"));
  for (uint8_t key : {0x03, 0x05, 0x09, 0x0C, 0x10}) {
    sim::KeyResult r = sim::press(key);
    EXPECT_FALSE(r.consumed) << int(key);
    sim::release(key);
  }
  EXPECT_TRUE(shell_running());
  EXPECT_EQ(ps().isCanvas, 1);
}

TEST_F(Shell, EndingThePlayerWithTheScreenOpenEndsTheShell) {
  add_track("a.mp3");
  ASSERT_TRUE(start("a.mp3"));
  clear_facts();
  sim::press(kExit);
  EXPECT_TRUE(sim::unload_requested());
  // The shell took the closing event before the image went.
  EXPECT_EQ(count(sim::Fact::EventDone, EV_PLAYBACK_END), 1u);
  EXPECT_EQ(count(sim::Fact::ShellExit), 1u);
  EXPECT_FALSE(sim::canvas_exists());
  EXPECT_EQ(sim::tones_played(), 1u);
  EXPECT_EQ(count(sim::Fact::EngineDelete), 1u);
  EXPECT_EQ(sim::indicator(), 0);
}

// Without a canvas the player posts no closing event: neither when the
// screen was closed nor when a shell runs that could not make its canvas.
// The loader ends such a shell with the image.
TEST_F(Shell, EndingThePlayerWithoutACanvasPostsNothing) {
  for (bool failed_canvas : {false, true}) {
    SCOPED_TRACE(failed_canvas ? "shell without canvas" : "screen closed");
    restart_machine();
    add_track("a.mp3");
    if (failed_canvas) sim::fail_canvas_creation(1);
    ASSERT_TRUE(start("a.mp3"));
    if (!failed_canvas) close_screen();
    ASSERT_EQ(ps().isCanvas, 0);
    clear_facts();
    sim::press(kExitAnywhere);
    EXPECT_TRUE(sim::unload_requested());
    EXPECT_EQ(count(sim::Fact::EventDone, EV_PLAYBACK_END), 0u);
    EXPECT_FALSE(shell_running());
    EXPECT_EQ(sim::tones_played(), 1u);
    EXPECT_EQ(sim::leaked_blocks(), 0u);
  }
}

// The stand-in only takes the value for the indicator whose id lies at the
// firmware address, so the indicator follows only when it is read there.
TEST_F(Shell, TheIndicatorIdIsReadAtItsFirmwareAddress) {
  add_track("a.mp3");
  ASSERT_TRUE(start("a.mp3"));
  EXPECT_EQ(sim::indicator(), 1);
  sim::press(kPlay);
  EXPECT_EQ(sim::indicator(), 2);
  sim::press(kStop);
  EXPECT_EQ(sim::indicator(), 0);
}

// Likewise the keypad lock is known only through the feature id found at
// its firmware address.
TEST_F(Shell, TheKeypadLockFeatureIdIsReadAtItsFirmwareAddress) {
  add_track("a.mp3");
  ASSERT_TRUE(start("a.mp3"));
  sim::set_keypad_lock(true);
  EXPECT_FALSE(sim::press(kPlay).consumed);
  EXPECT_EQ(ps().State_Player, PLAYER_PLAYING);
  sim::set_keypad_lock(false);
  EXPECT_TRUE(sim::press(kPlay).consumed);
  EXPECT_EQ(ps().State_Player, PLAYER_PAUSED);
}

}  // namespace
}  // namespace scenario
