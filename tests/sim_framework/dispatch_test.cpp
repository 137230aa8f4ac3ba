// SPDX-License-Identifier: MIT
// Starting applications, the UI token, state tables and entry routines,
// routing of queued events, and exit.
#include <string.h>

#include "sim/internal.h"
#include "test_apps.h"

namespace simtest {
namespace {

using Log = std::vector<std::string>;

class Dispatch : public Framework {};

TEST_F(Dispatch, StartingRunsThePlayerEntryAtOnceAndGivesTheShellTheTokenAfterwards) {
  StartBoth();
  EXPECT_EQ(TakeLog(), (Log{"player enter 1", "shell token", "shell enter 2"}));
  sim::AppInfo shell{}, player{};
  ASSERT_TRUE(sim::ShellInfo(&shell));
  ASSERT_TRUE(sim::PlayerInfo(&player));
  EXPECT_TRUE(shell.running);
  EXPECT_EQ(shell.state, 2u);
  EXPECT_TRUE(shell.has_token);
  EXPECT_EQ(shell.start_code, kShellCode);
  EXPECT_STREQ(shell.name, "ZQ_s_Player");
  EXPECT_TRUE(player.running);
  EXPECT_EQ(player.state, 1u);
  EXPECT_FALSE(player.has_token);
  EXPECT_EQ(player.start_code, kPlayerCode);
  EXPECT_NE(shell.reg_id, 0u);
  EXPECT_NE(shell.reg_id, player.reg_id);
  EXPECT_EQ(sim::ShellStarts(), 1u);
  EXPECT_TRUE(HasFact(sim::Fact::kShellStart, 0));
}

TEST_F(Dispatch, TokenGrantFollowsTheResultAndStatusGivenOnce) {
  struct Case {
    uint32_t result;
    uint8_t status;
    uint32_t shell_state;
  } cases[] = {
      {0, APP_TOKEN_HELD, 2},  // granted and held: main state
      {7, APP_TOKEN_HELD, 1},  // refused: stays waiting
      {0, 1, 1},               // granted with another status: stays waiting
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result * 100 + c.status);
    sim::Reset();
    RegisterBoth();
    sim::SetNextTokenGrant(c.result, c.status);
    ASSERT_EQ(LdrStartApp(kShellCode), 0u);
    sim::RunPending();
    sim::AppInfo shell{};
    ASSERT_TRUE(sim::ShellInfo(&shell));
    EXPECT_EQ(shell.state, c.shell_state);
    // The override was used up: the next shell gets the token normally.
    ASSERT_EQ(APP_Exit(nullptr, w_.shell, 0), 0u);
    sim::RunPending();
    ASSERT_EQ(LdrStartApp(kShellCode), 0u);
    sim::RunPending();
    ASSERT_TRUE(sim::ShellInfo(&shell));
    EXPECT_EQ(shell.state, 2u);
    EXPECT_TRUE(shell.has_token);
  }
}

TEST_F(Dispatch, RevokingTheTokenClearsIt) {
  StartBoth();
  EXPECT_EQ(APP_HandleUITokenRevoked(nullptr, w_.shell), 0u);
  sim::AppInfo shell{};
  ASSERT_TRUE(sim::ShellInfo(&shell));
  EXPECT_FALSE(shell.has_token);
  // Another application in front takes the token through the shell's table.
  for (sim::Front front : {sim::Front::kOther, sim::Front::kIdle}) {
    sim::Reset();
    StartBoth();
    sim::SetFront(front);
    ASSERT_TRUE(sim::ShellInfo(&shell));
    EXPECT_FALSE(shell.has_token);
  }
}

TEST_F(Dispatch, StartCodesThatAreRunningOrUnknownAreRefused) {
  StartBoth();
  TakeLog();
  EXPECT_NE(LdrStartApp(kShellCode), 0u);  // the shell refuses a second instance
  EXPECT_NE(LdrStartApp(0x9876), 0u);
  sim::RunPending();
  EXPECT_EQ(sim::ShellStarts(), 1u);
  EXPECT_TRUE(TakeLog().empty());
  sim::AppInfo shell{};
  ASSERT_TRUE(sim::ShellInfo(&shell));
  EXPECT_EQ(AFW_InquireRoutingStackByRegId(shell.reg_id), 0u);
  EXPECT_NE(AFW_InquireRoutingStackByRegId(0xDEAD), 0u);
}

TEST_F(Dispatch, RegistrationRejectsBadArgumentsAndDuplicateCodes) {
  RegisterBoth();
  uint32_t code = kShellCode;
  EXPECT_NE(APP_Register(&code, 1, nullptr, 3, nullptr), 0u);
  EXPECT_NE(APP_Register(nullptr, 1, nullptr, 3, nullptr), 0u);
  // The first registration of a code stays in force.
  sim::AppInfo shell{};
  ASSERT_EQ(LdrStartApp(kShellCode), 0u);
  ASSERT_TRUE(sim::ShellInfo(&shell));
  EXPECT_STREQ(shell.name, "ZQ_s_Player");
}

TEST_F(Dispatch, StartingWithAnotherStateTableThanTheRegisteredOneIsRefused) {
  RegisterBoth();
  ASSERT_EQ(LdrStartApp(kPlayerCode), 0u);
  sim::AppInfo player{};
  ASSERT_TRUE(sim::PlayerInfo(&player));
  static const EVENT_HANDLER_ENTRY_T kNone[] = {{EV_LIST_END, nullptr}};
  static const STATE_HANDLERS_ENTRY_T kOther[] = {{APP_STATE_ANY, {0, 0, 0}, nullptr, nullptr, kNone}};
  APPLICATION_T* app = APP_InitAppData(APP_HandleEventPrepost, 88, player.reg_id, 0, 0, 0, 0, 0, 0);
  ASSERT_NE(app, nullptr);
  EXPECT_NE(APP_Start(nullptr, app, 1, kOther, nullptr, "other", 0), 0u);
  EXPECT_NE(APP_UtilStartTimer(10, 1, app), 0u);  // it never ran
}

TEST_F(Dispatch, RecordsAreZeroedWithTheirOwnPortAndTooLargeOnesAreRefused) {
  StartBoth();
  ASSERT_NE(w_.shell, nullptr);
  ASSERT_NE(w_.player, nullptr);
  EXPECT_NE(w_.shell->port, 0u);
  EXPECT_NE(w_.player->port, 0u);
  EXPECT_NE(w_.shell->port, w_.player->port);
  const uint8_t* tail = reinterpret_cast<const uint8_t*>(w_.player) + 80;
  for (int i = 0; i < 8; ++i) EXPECT_EQ(tail[i], 0) << i;
  sim::AppInfo player{};
  ASSERT_TRUE(sim::PlayerInfo(&player));
  EXPECT_EQ(APP_InitAppData(APP_HandleEvent, 1 << 20, player.reg_id, 0, 0, 0, 0, 0, 0), nullptr);
  EXPECT_EQ(APP_InitAppData(APP_HandleEvent, 80, 0xDEAD, 0, 0, 0, 0, 0, 0), nullptr);
}

TEST_F(Dispatch, TheCurrentStateListComesBeforeTheAnyStateListAndTheFirstMatchWins) {
  RegisterBoth();
  sim::SetNextTokenGrant(0, 1);  // the shell stays in its init state
  ASSERT_EQ(LdrStartApp(kShellCode), 0u);
  ASSERT_EQ(LdrStartApp(kPlayerCode), 0u);
  sim::RunPending();
  TakeLog();
  ASSERT_EQ(AFW_CreateInternalQueuedEvAux(0x4242, 100, 0, nullptr), 0u);
  sim::RunPending();
  EXPECT_EQ(TakeLog(), (Log{"shell 4242", "player 4242"}));

  ASSERT_EQ(APP_UtilChangeState(2, nullptr, w_.shell), 0u);
  EXPECT_EQ(TakeLog(), (Log{"shell enter 2"}));
  ASSERT_EQ(AFW_CreateInternalQueuedEvAux(0x4242, 100, 0, nullptr), 0u);
  sim::RunPending();
  EXPECT_EQ(TakeLog(), (Log{"shell state 4242", "player 4242"}));
}

TEST_F(Dispatch, ChangingStateRunsTheEntryAndUnknownStatesAreRefused) {
  StartBoth();
  TakeLog();
  EXPECT_NE(APP_UtilChangeState(7, nullptr, w_.player), 0u);
  sim::AppInfo player{};
  ASSERT_TRUE(sim::PlayerInfo(&player));
  EXPECT_EQ(player.state, 1u);
  EXPECT_TRUE(TakeLog().empty());

  ASSERT_EQ(APP_UtilChangeState(3, nullptr, w_.player), 0u);
  EXPECT_EQ(TakeLog(), (Log{"player enter 3"}));
  ASSERT_TRUE(sim::PlayerInfo(&player));
  EXPECT_EQ(player.state, 3u);
  // State 3 has no handlers of its own; the any-state list still applies.
  ASSERT_TRUE(sim::internal::PostToPort(w_.player->port, EV_PLAYBACK_READY, nullptr, 0));
  ASSERT_EQ(AFW_CreateInternalQueuedEvAux(0x4242, 100, 0, nullptr), 0u);
  sim::RunPending();
  EXPECT_EQ(TakeLog(), (Log{"shell state 4242", "player 4242"}));
}

TEST_F(Dispatch, EachHandlerRunsToItsEndBeforeWhatItQueued) {
  StartBoth();
  TakeLog();
  On("shell", 0x4242, [this](EVENT_STACK_T*, APPLICATION_T*) {
    AFW_CreateInternalQueuedEvAux(EV_REDRAW, 100, 0, nullptr);
    w_.log.push_back("shell hook end");
    return 0u;
  });
  ASSERT_EQ(AFW_CreateInternalQueuedEvAux(0x4242, 100, 0, nullptr), 0u);
  sim::RunPending();
  EXPECT_EQ(TakeLog(), (Log{"shell state 4242", "shell hook end", "player 4242", "shell 14"}));
  EXPECT_EQ(CountFact(sim::Fact::kEventDone, EV_REDRAW), 2);  // the player got it too, without a handler
}

TEST_F(Dispatch, EventsCarryTheirOwnCopyOfTheAttachment) {
  StartBoth();
  uint8_t data[16];
  for (int i = 0; i < 16; ++i) data[i] = static_cast<uint8_t>(i + 1);
  std::vector<std::vector<uint8_t>> seen;
  On("player", 0x4242, [&seen](EVENT_STACK_T* ev, APPLICATION_T*) {
    const uint8_t* a = static_cast<const uint8_t*>(AFW_GetEv(ev)->attachment);
    seen.emplace_back(a, a + 16);
    return 0u;
  });
  ASSERT_EQ(AFW_CreateInternalQueuedEvAux(0x4242, 100, sizeof(data), data), 0u);
  memset(data, 0xEE, sizeof(data));  // the queued copy must not change
  sim::RunPending();
  ASSERT_EQ(seen.size(), 1u);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(seen[0][i], i + 1);

  // Attachments too large for an event, or missing, are refused.
  std::vector<uint8_t> big(4096);
  EXPECT_NE(AFW_CreateInternalQueuedEvAux(0x4242, 100, big.size(), big.data()), 0u);
  EXPECT_NE(AFW_CreateInternalQueuedEvAux(0x4242, 100, 8, nullptr), 0u);
  sim::RunPending();
  EXPECT_EQ(seen.size(), 1u);
}

TEST_F(Dispatch, ExitInsideAHandlerIsSafeAndDropsWhatWasQueuedForTheApp) {
  StartBoth();
  TakeLog();
  On("shell", EV_PLAYBACK_END, [](EVENT_STACK_T* ev, APPLICATION_T* app) {
    APP_UtilStartTimer(100, 1, app);
    AFW_CreateInternalQueuedEvAux(0x4242, 100, 0, nullptr);
    uint32_t r = APP_Exit(ev, app, 0);
    app->dialog = 0x55;  // still its own record until the handler returns
    return r;
  });
  ASSERT_EQ(AFW_CreateInternalQueuedEvAux(EV_PLAYBACK_END, 100, 0, nullptr), 0u);
  sim::RunPending();
  sim::Advance(1000);
  EXPECT_EQ(TakeLog(), (Log{"shell end 0", "player end 0", "player 4242"}));
  EXPECT_TRUE(HasFact(sim::Fact::kShellExit, 0));
  sim::AppInfo shell{};
  ASSERT_TRUE(sim::ShellInfo(&shell));
  EXPECT_FALSE(shell.running);
  EXPECT_NE(AFW_InquireRoutingStackByRegId(shell.reg_id), 0u);
  EXPECT_NE(APP_Exit(nullptr, w_.shell, 0), 0u);  // not a record any more

  // A new shell starts as the first one did.
  ASSERT_EQ(LdrStartApp(kShellCode), 0u);
  sim::RunPending();
  EXPECT_EQ(TakeLog(), (Log{"shell token", "shell enter 2"}));
  EXPECT_EQ(sim::ShellStarts(), 2u);
}

TEST_F(Dispatch, DeletingTheDialogDeletesTheCanvasAndClearsTheField) {
  uint32_t port = 1;
  CanvasBuffer buffer{nullptr, 176, 220};
  uint32_t field = UIS_CreateColorCanvas(&port, &buffer, 1);
  ASSERT_NE(field, 0u);
  ASSERT_TRUE(sim::CanvasExists());
  EXPECT_EQ(APP_UtilUISDialogDelete(&field), 0u);
  EXPECT_EQ(field, 0u);
  EXPECT_FALSE(sim::CanvasExists());
  EXPECT_NE(APP_UtilUISDialogDelete(nullptr), 0u);
}

TEST_F(Dispatch, AShellEndedByTheUnloadLosesItsCanvas) {
  StartBoth();
  uint32_t port = w_.shell->port;
  CanvasBuffer buffer{nullptr, 176, 220};
  w_.shell->dialog = UIS_CreateColorCanvas(&port, &buffer, 1);
  ASSERT_NE(w_.shell->dialog, 0u);
  sim::UnloadImage();
  EXPECT_FALSE(sim::CanvasExists());
}

// The way the player ends the program: post the closing event to everyone,
// exit, ask for the unload.
uint32_t EndProgram(EVENT_STACK_T* ev, APPLICATION_T* app) {
  AFW_CreateInternalQueuedEvAux(EV_PLAYBACK_END, 100, 0, nullptr);
  APP_UtilStopTimer(app);
  uint32_t r = APP_Exit(ev, app, 0);
  LdrUnloadELF(nullptr);
  return r;
}

TEST_F(Dispatch, UnloadDeliversWhatWasQueuedThenEndsEveryoneElse) {
  struct Case {
    const char* what;
    bool shell_has_token;
    Log log;
  } cases[] = {
      {"shell in its main state closes itself", true, {"player press 14", "shell key 14", "shell end 0"}},
      {"shell waiting for the token is ended", false, {"player press 14"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim::Reset();
    w_ = World{};
    sim::SetObserver(
        [](sim::Fact f, uint32_t v, const char*, void* ctx) {
          static_cast<World*>(ctx)->facts.push_back({f, v, ""});
        },
        &w_);
    if (!c.shell_has_token) sim::SetNextTokenGrant(0, 1);
    StartBoth();
    TakeLog();
    On("shell", EV_PLAYBACK_END, [](EVENT_STACK_T* ev, APPLICATION_T* app) { return APP_Exit(ev, app, 0); });
    On("player", EV_KEY_PRESS, EndProgram);
    APP_UtilStartTimer(500, 3, w_.shell);
    sim::Press(14);
    EXPECT_EQ(TakeLog(), c.log);
    EXPECT_TRUE(sim::UnloadRequested());
    EXPECT_TRUE(HasFact(sim::Fact::kUnload, EV_KEY_PRESS));  // the event that asked for it
    EXPECT_TRUE(HasFact(sim::Fact::kShellExit, 0));
    sim::AppInfo shell{}, player{};
    ASSERT_TRUE(sim::ShellInfo(&shell));
    ASSERT_TRUE(sim::PlayerInfo(&player));
    EXPECT_FALSE(shell.running);
    EXPECT_FALSE(player.running);
    sim::Advance(2000);  // no timer of an ended app fires
    EXPECT_TRUE(TakeLog().empty());
    EXPECT_NE(LdrStartApp(kShellCode), 0u);  // the registrations went with the image
  }
}

TEST_F(Dispatch, PowerOffEndsApplicationsWithoutRunningTheirHandlers) {
  StartBoth();
  TakeLog();
  AFW_CreateInternalQueuedEvAux(0x4242, 100, 0, nullptr);
  sim::UnloadImage();
  sim::RunPending();
  EXPECT_TRUE(TakeLog().empty());
  EXPECT_FALSE(sim::UnloadRequested());
  sim::AppInfo player{};
  ASSERT_TRUE(sim::PlayerInfo(&player));
  EXPECT_FALSE(player.running);
}

}  // namespace
}  // namespace simtest
