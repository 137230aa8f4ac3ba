// SPDX-License-Identifier: MIT
// Keys and timers of the player: its main loop.
#pragma once

#include "platform/firmware.h"

// Timer ids.
enum : uint32_t {
  kTimerPlayback = 0,
  kTimerSeekHold = 2,
  kTimerNextHold = 4,
  kTimerBackHold = 5,
  kTimerSeekStep = 6,
};

uint32_t player_Keypress(EVENT_STACK_T* ev_st, APPLICATION_T* app);
uint32_t player_Keyrelease(EVENT_STACK_T* ev_st, APPLICATION_T* app);
uint32_t player_Timer(EVENT_STACK_T* ev_st, APPLICATION_T* app);
