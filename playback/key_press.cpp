// SPDX-License-Identifier: MIT
// Key presses of the player, seen in every state and also while the screen
// is hidden. A press the player acts on fully is consumed; every other one
// goes on to the shell and the phone.
#include "app/app.h"
#include "playback/engine.h"
#include "playback/key_context.h"
#include "playback/keys.h"
#include "screen/widgets.h"

namespace {

// The event is consumed before an action runs: an action may end the
// program, after which the record must not be touched again.
void Consume(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  APP_ConsumeEv(ev_st, app);
}

void ChangeVolume(EVENT_STACK_T* ev_st, APPLICATION_T* app, bool up) {
  Consume(ev_st, app);
  uint8_t type = VolumeType();
  uint8_t level = 0;
  DL_AudGetVolumeSetting(type, &level);
  if (up && level < AUD_VOLUME_MAX) ++level;
  if (!up && level != 0) --level;
  // Written back also at a limit, so the firmware's level is always in range.
  DL_AudSetVolumeSetting(type, level);
  if (player.isCanvas != 0) draw_vol();
}

void PlayPause(EVENT_STACK_T* ev_st, APPLICATION_T* app, bool call_test) {
  // During a call the key belongs to the phone.
  if (call_test && APP_MMC_Util_IsVoiceCall() != 0) return;
  Consume(ev_st, app);
  APP_UtilStopTimer(app);
  switch (player.State_Player) {
    case kPlayerNoTrack:
      Create(ev_st, app);
      break;
    case kPlayerPlaying:
      player.allowPlay = 0;
      Pause();
      break;
    case kPlayerPaused:
    case kPlayerStopped:
      player.allowPlay = 1;
      Play(ev_st, app);
      break;
    default:  // seeking: the seek key's release decides
      break;
  }
}

void StopTrack(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  Consume(ev_st, app);
  APP_UtilStopTimer(app);
  player.allowPlay = 0;
  Stop();
}

void ShowScreen(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  Consume(ev_st, app);
  LdrStartApp(player.evcode_base - 1);
}

// The hold is told from a tap by timer 2: it expires after one second.
void SeekKeyDown(EVENT_STACK_T* ev_st, APPLICATION_T* app, int8_t direction) {
  Consume(ev_st, app);
  APP_UtilStopTimer(app);
  APP_UtilStartTimer(1000, kTimerSeekHold, app);
  player.timeRew = 1;
  player.Z = direction;
}

void NextPlayMode() {
  player.circle_s = (uint8_t)((player.circle_s + 1) % 3);
  draw_circle_s();
}

// Remembered so that the release can tell how long the key was held.
void StarDown() {
  player.timeStarPress = player.timePosition;
}

// The phone goes on handling the side key; the track changes when the timer
// expires a second later.
void HoldForTrackChange(APPLICATION_T* app, uint32_t timer_id) {
  APP_UtilStopTimer(app);
  APP_UtilStartTimer(1000, timer_id, app);
}

void BackgroundPress(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint8_t key) {
  switch (key) {
    case kKeyStar:
      StarDown();
      break;
    case kKeyBackgroundPlay:
      PlayPause(ev_st, app, false);
      break;
    case kKeySideUp:
      HoldForTrackChange(app, kTimerNextHold);
      break;
    case kKeySideDown:
      HoldForTrackChange(app, kTimerBackHold);
      break;
    default:
      break;
  }
}

// The keypad keys act only on the player's screen: on the idle screen they
// belong to the phone.
void KeypadPress(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint8_t key) {
  if (WorkingTable() == 1) return;
  switch (key) {
    case kKeyVolumeUp:
      ChangeVolume(ev_st, app, true);
      break;
    case kKeyPlayPause:
      PlayPause(ev_st, app, true);
      break;
    case kKeySeekBack:
      SeekKeyDown(ev_st, app, -1);
      break;
    case kKeySeekForward:
      SeekKeyDown(ev_st, app, 1);
      break;
    case kKeyVolumeDown:
      ChangeVolume(ev_st, app, false);
      break;
    case kKeyStop:
      StopTrack(ev_st, app);
      break;
    case kKeyPlayMode:
      NextPlayMode();
      break;
    case kKeyExit:
      player_destroyApp(ev_st, app);
      break;
    default:
      break;
  }
}

void ForegroundPress(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint8_t key) {
  switch (key) {
    case kKeyVolumeUp:
    case kKeyPlayPause:
    case kKeySeekBack:
    case kKeySeekForward:
    case kKeyVolumeDown:
    case kKeyStop:
    case kKeyPlayMode:
    case kKeyExit:
      KeypadPress(ev_st, app, key);
      break;
    case kKeyStar:
      // Also recorded while the screen is open: the shell closes on this
      // press, and its release must not compare with an older press and
      // open the screen again at once.
      StarDown();
      break;
    case kKeyExitAnywhere:
      player_destroyApp(ev_st, app);
      break;
    case kKeySideUp:
      ChangeVolume(ev_st, app, true);
      break;
    case kKeySideDown:
      ChangeVolume(ev_st, app, false);
      break;
    case kKeyMediaPlay:
      PlayPause(ev_st, app, true);
      break;
    case kKeyMediaStop:
      if (player.isCanvas != 0) {
        StopTrack(ev_st, app);
      } else if (WorkingTable() == 1) {
        ShowScreen(ev_st, app);
      }
      break;
    case kKeyMediaBack:
      SeekKeyDown(ev_st, app, -1);
      break;
    case kKeyMediaForward:
      SeekKeyDown(ev_st, app, 1);
      break;
    default:
      break;
  }
}

}  // namespace

uint32_t player_Keypress(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  uint8_t key = CurrentKey(ev_st);
  if (KeypadLock() != 0) return 0;
  if (InBackground()) {
    BackgroundPress(ev_st, app, key);
  } else {
    ForegroundPress(ev_st, app, key);
  }
  return 0;
}
