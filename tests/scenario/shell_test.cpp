// SPDX-License-Identifier: MIT
// The shell: UI token, canvas, redraw, close keys, and its end with the player.
#include "platform/framework.h"
#include "scenario.h"

namespace scenario {
namespace {

using Shell = Scenario;

TEST_F(Shell, AStartWhileAShellRunsIsRefusedAndLeavesItAlone) {
  AddTrack("a.mp3");
  ASSERT_TRUE(Start("a.mp3"));
  uint32_t dialog = ShellInfo().dialog;
  ASSERT_NE(dialog, 0u);
  EXPECT_EQ(LdrStartApp(kBase), 1u);
  EXPECT_EQ(sim::ShellStarts(), 1u);
  EXPECT_EQ(ShellInfo().dialog, dialog);
  EXPECT_TRUE(sim::CanvasExists());
  EXPECT_EQ(Ps().isCanvas, 1);
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
    RestartMachine();
    AddTrack("a.mp3");
    sim::SetNextTokenGrant(c.result, c.status);
    ASSERT_TRUE(Start("a.mp3"));
    EXPECT_TRUE(ShellInfo().running);
    EXPECT_EQ(ShellInfo().state, 1u);
    EXPECT_EQ(Ps().isCanvas, 0);
    EXPECT_FALSE(sim::CanvasExists());
    EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
    EndProgram();
    EXPECT_TRUE(sim::UnloadRequested());
    EXPECT_EQ(sim::LeakedBlocks(), 0u);
  }
}

TEST_F(Shell, AFailedCanvasLeavesTheShellWithoutScreenAndThePlayerUntouched) {
  AddTrack("a.mp3");
  sim::FailCanvasCreation(1);
  ASSERT_TRUE(Start("a.mp3"));
  EXPECT_EQ(ShellInfo().state, 2u);
  EXPECT_EQ(Ps().isCanvas, 0);
  EXPECT_FALSE(sim::CanvasExists());
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
  // A redraw (the call screen going away) draws nothing without a canvas.
  sim::CanvasLogClear();
  sim::SetVoiceCall(true);
  sim::SetVoiceCall(false);
  EXPECT_EQ(sim::CanvasLogSize(), 0u);
  Seconds(3);
  EXPECT_EQ(sim::CanvasLogSize(), 0u);
}

TEST_F(Shell, TheShellRedrawsWhenItComesBackToTheFront) {
  AddTrack("a.mp3");
  ASSERT_TRUE(Start("a.mp3"));
  sim::CanvasLogClear();
  sim::SetVoiceCall(true);
  sim::SetVoiceCall(false);
  EXPECT_GT(sim::CanvasLogSize(), 0u);
}

// The close keys end the shell only: the music goes on.
TEST_F(Shell, CloseKeysEndTheShellAndPlaybackGoesOn) {
  for (uint8_t key : {kStar, kClose}) {
    SCOPED_TRACE(key);
    RestartMachine();
    AddTrack("a.mp3");
    ASSERT_TRUE(Start("a.mp3"));
    Seconds(2);
    sim::KeyResult r = sim::Press(key);
    EXPECT_TRUE(r.consumed);
    EXPECT_EQ(r.taker, sim::KeyTaker::kShell);
    sim::Release(key);
    EXPECT_FALSE(ShellRunning());
    EXPECT_EQ(Ps().isCanvas, 0);
    EXPECT_FALSE(sim::CanvasExists());
    EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
    Seconds(3);
    EXPECT_EQ(Ps().timePosition, 5u);
    EXPECT_EQ(sim::ShellStarts(), 1u);
    EndProgram();
    EXPECT_EQ(sim::LeakedBlocks(), 0u);
  }
}

TEST_F(Shell, OtherKeysReachTheShellAndLeaveItOpen) {
  AddTrack("a.mp3");
  ASSERT_TRUE(Start("a.mp3"));
  for (uint8_t key : {0x03, 0x05, 0x09, 0x0C, 0x10}) {
    sim::KeyResult r = sim::Press(key);
    EXPECT_FALSE(r.consumed) << int(key);
    sim::Release(key);
  }
  EXPECT_TRUE(ShellRunning());
  EXPECT_EQ(Ps().isCanvas, 1);
}

TEST_F(Shell, EndingThePlayerWithTheScreenOpenEndsTheShell) {
  AddTrack("a.mp3");
  ASSERT_TRUE(Start("a.mp3"));
  ClearFacts();
  sim::Press(kExit);
  EXPECT_TRUE(sim::UnloadRequested());
  // The shell took the closing event before the image went.
  EXPECT_EQ(count(sim::Fact::kEventDone, EV_PLAYBACK_END), 1u);
  EXPECT_EQ(count(sim::Fact::kShellExit), 1u);
  EXPECT_FALSE(sim::CanvasExists());
  EXPECT_EQ(sim::TonesPlayed(), 1u);
  EXPECT_EQ(count(sim::Fact::kEngineDelete), 1u);
  EXPECT_EQ(sim::Indicator(), 0);
}

// Without a canvas the player posts no closing event: neither when the
// screen was closed nor when a shell runs that could not make its canvas.
// The loader ends such a shell with the image.
TEST_F(Shell, EndingThePlayerWithoutACanvasPostsNothing) {
  for (bool failed_canvas : {false, true}) {
    SCOPED_TRACE(failed_canvas ? "shell without canvas" : "screen closed");
    RestartMachine();
    AddTrack("a.mp3");
    if (failed_canvas) sim::FailCanvasCreation(1);
    ASSERT_TRUE(Start("a.mp3"));
    if (!failed_canvas) CloseScreen();
    ASSERT_EQ(Ps().isCanvas, 0);
    ClearFacts();
    sim::Press(kExitAnywhere);
    EXPECT_TRUE(sim::UnloadRequested());
    EXPECT_EQ(count(sim::Fact::kEventDone, EV_PLAYBACK_END), 0u);
    EXPECT_FALSE(ShellRunning());
    EXPECT_EQ(sim::TonesPlayed(), 1u);
    EXPECT_EQ(sim::LeakedBlocks(), 0u);
  }
}

// The stand-in only takes the value for the indicator whose id lies at the
// firmware address, so the indicator follows only when it is read there.
TEST_F(Shell, TheIndicatorIdIsReadAtItsFirmwareAddress) {
  AddTrack("a.mp3");
  ASSERT_TRUE(Start("a.mp3"));
  EXPECT_EQ(sim::Indicator(), 1);
  sim::Press(kPlay);
  EXPECT_EQ(sim::Indicator(), 2);
  sim::Press(kStop);
  EXPECT_EQ(sim::Indicator(), 0);
}

// Likewise the keypad lock is known only through the feature id found at
// its firmware address.
TEST_F(Shell, TheKeypadLockFeatureIdIsReadAtItsFirmwareAddress) {
  AddTrack("a.mp3");
  ASSERT_TRUE(Start("a.mp3"));
  sim::SetKeypadLock(true);
  EXPECT_FALSE(sim::Press(kPlay).consumed);
  EXPECT_EQ(Ps().State_Player, kPlayerPlaying);
  sim::SetKeypadLock(false);
  EXPECT_TRUE(sim::Press(kPlay).consumed);
  EXPECT_EQ(Ps().State_Player, kPlayerPaused);
}

}  // namespace
}  // namespace scenario
