// Keys and timers of the player: its main loop.
#pragma once

#include "platform/firmware.h"

// Timer ids.
enum : uint32_t {
  TIMER_PLAYBACK = 0,
  TIMER_SEEK_HOLD = 2,
  TIMER_NEXT_HOLD = 4,
  TIMER_BACK_HOLD = 5,
  TIMER_SEEK_STEP = 6,
};

uint32_t player_Keypress(EVENT_STACK_T* ev_st, APPLICATION_T* app);
uint32_t player_Keyrelease(EVENT_STACK_T* ev_st, APPLICATION_T* app);
uint32_t player_Timer(EVENT_STACK_T* ev_st, APPLICATION_T* app);
