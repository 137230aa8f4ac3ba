// SPDX-License-Identifier: MIT
// The shell application: it owns the screen. It waits for the UI token,
// creates the full-screen canvas, draws the player screen, redraws it when it
// comes back to the front, and ends on its close keys or when the player ends.
// It holds no playback state: closing it hides the screen, the music goes on.
#include "app/app.h"
#include "app/key_codes.h"
#include "screen/background.h"
#include "screen/lyrics_view.h"
#include "screen/widgets.h"

namespace {

constexpr uint32_t kShellRecordBytes = 80;

}  // namespace

uint32_t shell_startApp(EVENT_STACK_T* ev_st, uint32_t reg_id, uint32_t) {
  // One shell at a time: a second start would fight the first one for the
  // screen.
  if (AFW_InquireRoutingStackByRegId(reg_id) == 0) return 1;
  APPLICATION_T* app = APP_InitAppData(APP_HandleEvent, kShellRecordBytes, reg_id, 0, 1, 1, 1, 1, 0);
  if (app == nullptr) return 1;  // no record: nothing started
  APP_Start(ev_st, app, 1, shell_state_handling_table, shell_destroyApp, shell_app_name, 0);
  return 0;
}

uint32_t shell_HandleUITokenGranted(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  uint32_t result = APP_HandleUITokenGranted(ev_st, app);
  if (result != 0) return result;
  if (app->token_status == APP_TOKEN_HELD) return APP_UtilChangeState(2, ev_st, app);
  return 0;
}

namespace {

// The whole screen as it stands now, also when it is shown again while
// paused, stopped or after a call, when no tick may come to correct it: the
// time and the bar of the position, and the line of the position once the
// track has played (the tags or the message before).
void DrawWholeScreen() {
  backg();
  draw_time();
  draw_bar_all();
  draw_bar();
  draw_lrc_info();
  if (player.iRet == kLrcLoaded && player.timePosition != 0) draw_lrc();
}

}  // namespace

uint32_t shell_MainStateEnter(EVENT_STACK_T*, APPLICATION_T* app, uint32_t kind) {
  if (kind != 0) return 0;

  // The display size gives the largest coordinates; the canvas wants the
  // number of pixels, one more in each direction.
  player.display_size = UIS_CanvasGetDisplaySize();
  player.screenbuf.buffer = nullptr;
  player.screenbuf.width = (uint16_t)((player.display_size >> 16) + 1);
  player.screenbuf.height = (uint16_t)((player.display_size & 0xFFFFu) + 1);

  uint32_t port = app->port;
  player.dialog = UIS_CreateColorCanvas(&port, &player.screenbuf, 1);
  if (player.dialog == 0) return 1;  // no canvas: nothing may draw

  app->dialog = player.dialog;
  player.isCanvas = 1;
  DrawWholeScreen();
  return 0;
}

uint32_t get_focus(EVENT_STACK_T*, APPLICATION_T*) {
  // A shell whose canvas could not be made has nothing to draw on.
  if (player.isCanvas == 0) return 0;
  DrawWholeScreen();
  return 0;
}

uint32_t shell_Keypress(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  EVENT_T* ev = AFW_GetEv(ev_st);
  if (ev == nullptr) return 0;
  if (ev->key != kKeyStar && ev->key != kKeyClose) return 0;
  player.isCanvas = 0;
  APP_ConsumeEv(ev_st, app);
  return shell_destroyApp(ev_st, app);
}

uint32_t shell_destroyApp(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  // The image stays loaded and the player runs on; dialog keeps the deleted
  // handle, but nothing draws while isCanvas is 0.
  player.isCanvas = 0;
  APP_UtilUISDialogDelete(&app->dialog);
  return APP_Exit(ev_st, app, 0);
}
