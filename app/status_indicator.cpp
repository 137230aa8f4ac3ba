// SPDX-License-Identifier: MIT
// The phone's music status indicator, kept in step with the playback state.
#include "app/app.h"

uint32_t ShowState(uint8_t state) {
  uint8_t value = 0;
  if (state == kPlayerPlaying) value = 1;
  if (state == kPlayerPaused) value = 2;
  // The indicator's identifier belongs to the firmware build; it is read at
  // its address on every update rather than kept.
  UIS_SetStatus(FwReadU8(ITUNES_STATUS + 1), value);
  return 0;
}
