// SPDX-License-Identifier: MIT
// Timer expiries of the player. It runs one timer at a time: the one-second
// playback tick (0), the one-second hold of a seek key (2), the one-second
// hold of a side key in the background (4 next, 5 previous), and the 100 ms
// seek step (6).
#include "app/app.h"
#include "app/func.h"
#include "app/key_codes.h"
#include "playback/engine.h"
#include "playback/keys.h"
#include "playback/tracklist.h"
#include "screen/lyrics_view.h"
#include "screen/widgets.h"

namespace {

void Tick() {
  // After a seek made while paused the engine runs again; the first tick
  // shows it.
  if (player.State_Player == kPlayerPaused) {
    player.State_Player = kPlayerPlaying;
    ShowState(kPlayerPlaying);
  }
  player.timePosition += 1;
  if (player.isCanvas != 0) {
    draw_time();
    draw_bar();
    // Key activity every second keeps the phone from dimming the screen.
    p_key(kKeyActivity);
    if (player.lrc_flag != 0 && player.iRet == kLrcLoaded) draw_lrc();
  }
}

void BeginSeekHold(APPLICATION_T* app) {
  APP_UtilStopTimer(app);
  player.LongPress = 1;
  Pause();
  player.State_Player = kPlayerSeeking;
  MME_GC_playback_get_attribute(player.mme_media_file, MME_ATTR_POSITION, &player.timePosition);
  APP_UtilStartCyclicalTimer(100, kTimerSeekStep, app);
}

// One step of a held seek key. The step grows by a second each time the
// position stands on a multiple of ten; near the end it is taken back from
// the length, so forward stepping lands exactly on the length.
void SeekStep() {
  uint32_t p = player.timePosition;
  if (p % 10 == 0) player.timeRew += 1;
  int64_t rew = player.timeRew;
  int64_t length = player.timeDuraction;
  int64_t pos = p;
  if ((int64_t)p + rew > length) {
    pos = length - rew;
  } else if (p < 1) {
    pos = 1;
  }
  pos += player.Z * rew;
  // The position never leaves the track: a short track could otherwise be
  // stepped past its end from the start.
  if (pos < 0) pos = 0;
  if (pos > length) pos = length;
  player.timePosition = (uint32_t)pos;
  if (player.isCanvas != 0) {
    draw_time();
    draw_bar();
  }
}

}  // namespace

uint32_t player_Timer(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  EVENT_T* ev = AFW_GetEv(ev_st);
  if (ev == nullptr || ev->attachment == nullptr) return 0;
  uint32_t id = ((const TIMER_ATTACH_T*)ev->attachment)->id;
  switch (id) {
    case kTimerPlayback:
      Tick();
      break;
    case kTimerSeekHold:
      APP_ConsumeEv(ev_st, app);
      BeginSeekHold(app);
      break;
    case kTimerNextHold:
      // Consumed first: the track change may end the program.
      APP_ConsumeEv(ev_st, app);
      APP_UtilStopTimer(app);
      Next(ev_st, app);
      break;
    case kTimerBackHold:
      APP_ConsumeEv(ev_st, app);
      APP_UtilStopTimer(app);
      Back(ev_st, app);
      break;
    case kTimerSeekStep:
      APP_ConsumeEv(ev_st, app);
      SeekStep();
      break;
    default:
      break;
  }
  return 0;
}
