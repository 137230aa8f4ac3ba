// The phone's music status indicator, kept in step with the playback state.
#include "app/app.h"

uint32_t ShowState(uint8_t state) {
  uint8_t value = 0;
  if (state == PLAYER_PLAYING) value = 1;
  if (state == PLAYER_PAUSED) value = 2;
  // The indicator's identifier belongs to the firmware build; it is read at
  // its address on every update rather than kept.
  UIS_SetStatus(fw_read_u8(ITUNES_STATUS + 1), value);
  return 0;
}
