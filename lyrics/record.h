// SPDX-License-Identifier: MIT
// The lyrics record of the current track.
#pragma once

#include "platform/firmware.h"

#define LRC_MAX_TIMES 200
#define LRC_MAX_LINES 100

struct LRC_TIME {
  uint32_t time;  // milliseconds from the start of the track, as written
  uint16_t line;  // index into lines of the text this time starts
};

struct LRC_LINE {
  WCHAR* text;   // zero-terminated, never null in a complete record
  uint16_t len;  // units of text without the terminator
};

struct LRC {
  WCHAR* ti;       // title; empty when the file has no tag
  WCHAR* ar;       // artist
  WCHAR* al;       // album
  WCHAR* by;       // maker of the lyrics file
  int16_t offset;  // milliseconds
  uint8_t time_count;
  uint8_t line_count;
  LRC_TIME* times;  // ascending by time, room for time_count + 1
  LRC_LINE* lines;  // file order
};

LRC* INIT_LRC();
void DESTROY_LRC(LRC** holder);
uint32_t LRC_SortByTime(LRC_TIME* entries, uint16_t count);
// Copies the `count` entries at `from`, in the order the parser found them,
// into `to` in the order LRC_SortByTime leaves them.
void CopyInTimeOrder(LRC_TIME* to, const LRC_TIME* from, uint16_t count);
