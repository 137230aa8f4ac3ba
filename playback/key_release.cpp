// SPDX-License-Identifier: MIT
// Key releases of the player. No release is consumed. A seek key that comes
// up ends either its hold (a seek) or its tap (a track change); the star key
// that comes up after two ticks or more opens the player screen.
#include "app/app.h"
#include "playback/engine.h"
#include "playback/key_context.h"
#include "playback/keys.h"
#include "playback/tracklist.h"

namespace {

void SeekKeyUp(EVENT_STACK_T* ev_st, APPLICATION_T* app, bool forward) {
  APP_UtilStopTimer(app);
  if (player.LongPress != 0) {
    player.LongPress = 0;
    player.State_Player = kPlayerPlaying;
    Seek(player.timePosition * 1000);
    return;
  }
  // Cleared before the track change, which may end the program.
  player.LongPress = 0;
  if (forward) {
    Next(ev_st, app);
  } else {
    Back(ev_st, app);
  }
}

void StarUp() {
  // Signed: a position that went back (a new track) is no hold.
  int32_t held = (int32_t)(player.timePosition - player.timeStarPress);
  if (held > 1) LdrStartApp(player.evcode_base - 1);
}

void ForegroundRelease(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint8_t key) {
  switch (key) {
    case kKeyStar:
      if (player.isCanvas == 0) StarUp();
      break;
    case kKeySeekBack:
      if (WorkingTable() != 1) SeekKeyUp(ev_st, app, false);
      break;
    case kKeySeekForward:
      if (WorkingTable() != 1) SeekKeyUp(ev_st, app, true);
      break;
    case kKeyMediaBack:
      SeekKeyUp(ev_st, app, false);
      break;
    case kKeyMediaForward:
      SeekKeyUp(ev_st, app, true);
      break;
    default:
      break;
  }
}

}  // namespace

uint32_t player_Keyrelease(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  uint8_t key = CurrentKey(ev_st);
  // A locked keypad ignores releases as it ignores presses: otherwise the
  // release of a press that was ignored would still change the track.
  if (KeypadLock() != 0) return 0;
  if (InBackground()) {
    if (key == kKeyStar) StarUp();
  } else {
    ForegroundRelease(ev_st, app, key);
  }
  return 0;
}
