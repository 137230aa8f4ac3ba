// What the press and the release handlers share: the key codes they act on,
// reading the key of the current event, and the context a key is judged in.
#pragma once

#include "app/func.h"
#include "app/player_state.h"

enum : uint8_t {
  KEY_VOLUME_UP = 0x01,
  KEY_PLAY_PAUSE = 0x02,
  KEY_SEEK_BACK = 0x04,
  KEY_SEEK_FORWARD = 0x06,
  KEY_VOLUME_DOWN = 0x07,
  KEY_STOP = 0x08,
  KEY_STAR = 0x0A,
  KEY_PLAY_MODE = 0x0B,
  KEY_EXIT = 0x0E,
  KEY_EXIT_ANYWHERE = 0x11,
  KEY_BACKGROUND_PLAY = 0x15,
  KEY_SIDE_UP = 0x17,
  KEY_SIDE_DOWN = 0x18,
  KEY_MEDIA_PLAY = 0x2C,
  KEY_MEDIA_STOP = 0x2D,
  KEY_MEDIA_BACK = 0x2E,
  KEY_MEDIA_FORWARD = 0x2F,
};

// The key code of the current key event, or 0xFF when there is no event.
inline uint8_t current_key(EVENT_STACK_T* ev_st) {
  EVENT_T* ev = AFW_GetEv(ev_st);
  return ev == nullptr ? 0xFF : ev->key;
}

// Background: the screen is hidden and something other than the idle screen
// is in front. Everything else is judged key by key as a foreground key.
inline bool in_background() {
  return player.isCanvas == 0 && WorkingTable() == 0;
}
