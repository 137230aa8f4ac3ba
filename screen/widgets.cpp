// SPDX-License-Identifier: MIT
// The status widgets between the top band and the lyrics area. Each repaints
// its own rectangle and draws one text, so any of them can be redrawn alone.
#include "screen/widgets.h"

#include "app/func.h"
#include "app/player_state.h"
#include "screen/palette.h"

namespace {

using screen::kAnchorLeft;
using screen::kAnchorTop;

const WCHAR kSlash[] = u"/";
const WCHAR kModeSingleLabel[] = u"单一";
const WCHAR kModeRepeatLabel[] = u"重复";
const WCHAR kModeListLabel[] = u"顺序";

// A time text: up to eight digits of minutes (any 32-bit count of seconds),
// ":", two digits of seconds and the terminator.
constexpr uint32_t kTimeUnits = 16;

uint32_t DecimalDigits(uint32_t n) {
  uint32_t digits = 1;
  while (n >= 10) {
    n /= 10;
    ++digits;
  }
  return digits;
}

// The track name: what follows the last "/"; a path without one is shown
// whole rather than not at all.
const WCHAR* TrackName() {
  const WCHAR* name = SplitPath(player.filename, kSlash);
  return name ? name : player.filename;
}

// The played share of the bar's 164 columns, truncated. 64-bit products keep
// very long positions exact without a 64-bit division.
uint32_t PlayedColumns(uint32_t position, uint32_t duration) {
  if (duration == 0) return 0;
  if (position >= duration) return 164;
  const uint64_t scaled = (uint64_t)position * 164;
  uint32_t low = 0, high = 163;  // the largest f with f x duration <= scaled
  while (low < high) {
    uint32_t mid = (low + high + 1) / 2;
    if ((uint64_t)mid * duration <= scaled) {
      low = mid;
    } else {
      high = mid - 1;
    }
  }
  return low;
}

}  // namespace

uint32_t sec2min(uint32_t seconds, WCHAR* out) {
  const uint32_t minutes = seconds / 60;
  const uint32_t rest = seconds % 60;
  if (seconds < 600) {
    out[0] = u'0';
    u_ltou((int32_t)minutes, out + 1);
  } else {
    u_ltou((int32_t)minutes, out);  // at most 71582788, well inside 32 bits
  }
  u_strcat(out, u":");
  if (rest < 10) u_strcat(out, u"0");
  u_ltou((int32_t)rest, out + u_strlen(out));
  return 0;
}

void draw_name() {
  screen::PaintArea(0, 20, 176, 19, 0, screen::DisplayMaxX());
  // Black with a white copy one pixel to the right and below.
  screen::SetForegroundWhite();
  DrawText(TrackName(), 6, 21, kAnchorLeft, kAnchorTop);
  screen::SetForegroundBlack();
  DrawText(TrackName(), 5, 20, kAnchorLeft, kAnchorTop);
}

void draw_num() {
  screen::PaintArea(0, 40, 120, 19, 0, 120);
  // Sized for the longer of the two numbers, so that a position outside the
  // list can never write past the buffer.
  uint32_t digits = DecimalDigits(player.count);
  uint32_t cur_digits = DecimalDigits((uint32_t)player.cur + 1);
  if (cur_digits > digits) digits = cur_digits;
  const uint32_t bytes = 4 * digits + 4;
  WCHAR* text = (WCHAR*)suAllocMem(bytes, nullptr);
  if (!text) return;  // the area is painted; the number waits for the next redraw
  __rt_memclr(text, bytes);
  u_ultou((uint32_t)player.cur + 1, text);
  u_strcat(text, kSlash);
  u_ultou(player.count, text + u_strlen(text));
  screen::SetForegroundBlack();
  DrawText(text, 6, 40, kAnchorLeft, kAnchorTop);
  suFreeMem(text);
}

void draw_circle_s() {
  screen::PaintArea(120, 40, 56, 19, 126, 176);
  static const WCHAR* const kLabels[] = {kModeSingleLabel, kModeRepeatLabel, kModeListLabel};
  if (player.circle_s >= sizeof(kLabels) / sizeof(kLabels[0])) return;
  screen::SetForegroundBlack();
  DrawText(kLabels[player.circle_s], 126, 40, kAnchorLeft, kAnchorTop);
}

void draw_time() {
  screen::PaintArea(0, 60, 120, 19, 0, 125);
  WCHAR text[2 * kTimeUnits];
  WCHAR total[kTimeUnits];
  sec2min(player.timePosition, text);
  sec2min(player.timeDuraction, total);
  u_strcat(text, kSlash);
  u_strcat(text, total);
  screen::SetForegroundBlack();
  DrawText(text, 6, 60, kAnchorLeft, kAnchorTop);
}

void draw_vol() {
  WCHAR text[6] = u"Vol:";
  screen::PaintArea(120, 60, 56, 19, 126, 175);
  uint8_t level = 0;  // a read that writes nothing shows 0
  DL_AudGetVolumeSetting(VolumeType(), &level);
  // Only the first digit is shown; the number is written aside so that a
  // level of three digits cannot run past the six-unit text.
  WCHAR digits[12];
  u_ultou(level, digits);
  text[4] = digits[0];
  text[5] = 0;
  screen::SetForegroundBlack();
  DrawText(text, 126, 60, kAnchorLeft, kAnchorTop);
}

void draw_bar_all() {
  screen::PaintArea(0, 80, 176, 19, 0, 175);
  screen::SetForegroundBlack();
  DrawRect(5, 82, 165, 12);
}

// Inside the frame only: columns 6 to 169, rows 83 to 93, played part first.
void draw_bar() {
  const uint32_t filled = PlayedColumns(player.timePosition, player.timeDuraction);
  if (filled > 0) {
    screen::SetFill(0x80, 0x00, 0xFF);
    FillRect(6, 83, (int32_t)filled - 1, 10);
  }
  if (filled < 164) {
#ifdef BLUE
    screen::SetFill(0x61, 0xBC, 0xEA);
#else
    screen::SetFill(0xFF, 0xFF, 0xFF);
#endif
    FillRect((int32_t)filled + 6, 83, 163 - (int32_t)filled, 10);
  }
}
