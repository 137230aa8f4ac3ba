// SPDX-License-Identifier: MIT
// The lyrics area (rows 100 to 199): a load message, the file's tags, or the
// line of the playing position in black with the next one in grey below.
#include "screen/lyrics_view.h"

#include "app/player_state.h"
#include "lyrics/record.h"
#include "screen/lyrics_messages.h"
#include "screen/palette.h"

namespace {

using screen::kAnchorLeft;
using screen::kAnchorTop;

constexpr int32_t kTop = 100;
constexpr int32_t kRowHeight = 20;
constexpr int32_t kMargin = 5;
constexpr uint32_t kLineWidth = 166;
constexpr uint8_t kLastWrapRow = 180;

const WCHAR kOver[] = u"    ==OVER==    ";
const WCHAR kEmpty[] = u"";

// draw_lrc repaints up to the display's last column; draw_lrc_info stops at
// 175 whatever the display says.
void PaintLyricsArea(int32_t last_column) {
  screen::PaintArea(0, kTop, 176, 99, 0, last_column);
}

const WCHAR* OrEmpty(const WCHAR* text) {
  return text ? text : kEmpty;
}

// Draws `s` one unit at a time from row y, going to the next row when a unit
// would reach the line width, and giving up once a row at 180 or below is
// full. Returns the row of the last unit drawn.
uint8_t DrawWrapped(const WCHAR* s, uint8_t y) {
  uint16_t x = 0;
  WCHAR unit[2] = {0, 0};
  for (uint32_t i = 0; s[i] != 0; ++i) {
    unit[0] = s[i];
    uint16_t w = (uint16_t)getfontsize(unit, CANVAS_FONT_DEFAULT);
    if ((uint32_t)x + w < kLineWidth) {
      DrawText(unit, kMargin + x, y, kAnchorLeft, kAnchorTop);
      x = (uint16_t)(x + w);
    } else if (y >= kLastWrapRow) {
      break;
    } else {
      y = (uint8_t)(y + kRowHeight);
      DrawText(unit, kMargin, y, kAnchorLeft, kAnchorTop);
      x = w;
    }
  }
  return y;
}

// The playing position in milliseconds with the file's offset and half a
// second of lead. A sum below zero (a negative offset at the very start)
// counts as 0; one beyond 32 bits as the largest time.
uint32_t LyricsClock(uint32_t position_s, int16_t offset_ms) {
  int64_t t = (int64_t)position_s * 1000 + offset_ms + 500;
  if (t < 0) return 0;
  if (t > (int64_t)0xFFFFFFFF) return 0xFFFFFFFFu;
  return (uint32_t)t;
}

// The last entry whose time has been reached; 0 before the first entry or
// when there are none. Of entries with equal times, the later one wins.
uint16_t ChooseIndex(const LRC* lrc, uint32_t t) {
  const uint16_t count = lrc->time_count;
  for (uint16_t i = 0; i < count; ++i) {
    if (lrc->times[i].time > t) continue;
    if (i + 1 < count && !(t < lrc->times[i + 1].time)) continue;
    return i;
  }
  return 0;
}

// The text of a time entry; a line index outside the record shows nothing
// rather than reading past the lines.
const WCHAR* LineOf(const LRC* lrc, uint16_t entry) {
  uint16_t line = lrc->times[entry].line;
  if (!lrc->lines || line >= lrc->line_count) return kEmpty;
  return OrEmpty(lrc->lines[line].text);
}

}  // namespace

void draw_lrc_info() {
  PaintLyricsArea(175);
  // Whatever line was on screen is painted over: the next draw_lrc draws
  // the line of the position once it is due.
  player.pos_lrc = screen::kNoLineOnScreen;
  screen::SetForegroundBlack();
  // A record is promised with status 0; without one the area says the file
  // is unusable instead of following a null pointer.
  if (player.iRet != kLrcLoaded || !player.lrc) {
    DrawText(screen::LyricsStatusMessage(player.iRet), 20, kTop, kAnchorLeft, kAnchorTop);
    player.lrc_flag = 0;
    return;
  }
  const LRC* lrc = player.lrc;
  DrawText(OrEmpty(lrc->ti), kMargin, kTop, kAnchorLeft, kAnchorTop);
  DrawText(OrEmpty(lrc->ar), kMargin, kTop + kRowHeight, kAnchorLeft, kAnchorTop);
  DrawText(OrEmpty(lrc->al), kMargin, kTop + 2 * kRowHeight, kAnchorLeft, kAnchorTop);
  DrawText(OrEmpty(lrc->by), kMargin, kTop + 3 * kRowHeight, kAnchorLeft, kAnchorTop);
  player.lrc_flag = 1;
}

void draw_lrc() {
  const LRC* lrc = player.lrc;
  if (!lrc || (lrc->time_count > 0 && !lrc->times)) return;

  const uint32_t t = LyricsClock(player.timePosition, lrc->offset);
  // The tags or the message stay until the first line is due; a record
  // without entries keeps them for good.
  if (player.pos_lrc == screen::kNoLineOnScreen && (lrc->time_count == 0 || t < lrc->times[0].time)) return;
  uint16_t index = ChooseIndex(lrc, t);
  // Called every second: the area is repainted only when the line changes.
  if (index == player.pos_lrc) return;
  player.pos_lrc = index;

  PaintLyricsArea(screen::DisplayMaxX());
  screen::SetForegroundBlack();
  const int32_t count = lrc->time_count;
  const int32_t pos = player.pos_lrc;
  uint8_t y = kTop;
  if (pos == count) {
    DrawText(kOver, kMargin, y, kAnchorLeft, kAnchorTop);
  } else {
    y = DrawWrapped(LineOf(lrc, index), y);
  }

  y = (uint8_t)(y + kRowHeight);
  screen::SetForeground(0x80, 0x80, 0x80);
  if (pos == count - 1) {
    DrawText(kOver, kMargin, y, kAnchorLeft, kAnchorTop);
  } else if (pos == count) {
    DrawText(kEmpty, kMargin, y, kAnchorLeft, kAnchorTop);
  } else {
    DrawWrapped(LineOf(lrc, (uint16_t)(index + 1)), y);
  }
}
