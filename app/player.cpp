// SPDX-License-Identifier: MIT
// The player application: it holds the playback object, the track list and
// the lyrics, takes keys and timers in every state, and is the one way the
// program ends (player_destroyApp), which also unloads the image.
#include "app/app.h"
#include "app/player_lifetime.h"
#include "lyrics/record.h"
#include "playback/engine.h"
#include "playback/tracklist.h"

namespace {

// Constant-initialized: every load of the image starts with it clear.
bool ending = false;

}  // namespace

bool PlayerEnding() {
  return ending;
}

uint32_t player_startApp(EVENT_STACK_T* ev_st, uint32_t reg_id, uint32_t) {
  // The record is the framework's plus the track list pointer.
  APPLICATION_T* app = APP_InitAppData(APP_HandleEventPrepost, sizeof(PlayerAppT), reg_id, 0, 1, 1, 2, 0, 0);
  if (app == nullptr) return 0;
  ((PlayerAppT*)app)->file_list = nullptr;
  APP_Start(ev_st, app, 1, player_state_handling_table, player_destroyApp, player_app_name, 0);
  return 0;
}

uint32_t player_MainStateEnter(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint32_t) {
  player.port = app->port;
  search(ev_st, app);
  // Without room for the track list the search has ended the player.
  if (!PlayerEnding()) Create(ev_st, app);
  return 0;
}

uint32_t player_destroyApp(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  ending = true;
  // An open shell ends on this event; one without a canvas is ended by the
  // loader when the image goes.
  if (player.isCanvas != 0) AFW_CreateInternalQueuedEvAux(EV_PLAYBACK_END, 100, 0, nullptr);
  APP_UtilStopTimer(app);
  if (player.mme_media_file != 0) Delete();

  PlayerAppT* record = (PlayerAppT*)app;
  if (record->file_list != nullptr) {
    suFreeMem(record->file_list);
    record->file_list = nullptr;
  }
  if (player.lrc != nullptr) DESTROY_LRC(&player.lrc);

  DL_AudPlayTone(0, 1);
  uint32_t result = APP_Exit(ev_st, app, 0);
  LdrUnloadELF((void*)&Lib);
  return result;
}
