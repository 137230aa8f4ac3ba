// SPDX-License-Identifier: MIT
// What the press and the release handlers share: the key codes they act on,
// reading the key of the current event, and the context a key is judged in.
#pragma once

#include "app/func.h"
#include "app/key_codes.h"
#include "app/player_state.h"

// The key code of the current key event, or 0xFF when there is no event.
inline uint8_t CurrentKey(EVENT_STACK_T* ev_st) {
  EVENT_T* ev = AFW_GetEv(ev_st);
  return ev == nullptr ? 0xFF : ev->key;
}

// Background: the screen is hidden and something other than the idle screen
// is in front. Everything else is judged key by key as a foreground key.
inline bool InBackground() {
  return player.isCanvas == 0 && WorkingTable() == 0;
}
