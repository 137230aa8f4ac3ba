// SPDX-License-Identifier: MIT
// Colours and area painting shared by the screen's widgets. Every widget sets
// the colour it needs right before it draws: the canvas's current colours are
// shared with everything else that draws.
#pragma once

#include "app/player_state.h"
#include "screen/canvas.h"

namespace screen {

inline void SetFill(uint8_t r, uint8_t g, uint8_t b) {
  CanvasColor c = {r, g, b, 0};
  UIS_CanvasSetFillColor(c);
}

inline void SetForeground(uint8_t r, uint8_t g, uint8_t b) {
  CanvasColor c = {r, g, b, 0};
  UIS_CanvasSetForegroundColor(c);
}

inline void SetForegroundBlack() {
  SetForeground(0, 0, 0);
}
inline void SetForegroundWhite() {
  SetForeground(0xFF, 0xFF, 0xFF);
}

// The display's largest x, as the colour-wheel theme reads it (signed).
inline int32_t DisplayMaxX() {
  return (int16_t)(player.display_size >> 16);
}
inline int32_t DisplayMaxY() {
  return (int16_t)(player.display_size & 0xFFFF);
}

// Paints a widget's area: the light blue rectangle (x, y, w, h) in the blue
// theme, otherwise hue columns `first` to `last` over the same rows. The two
// ranges differ for some widgets, so each caller names both.
inline void PaintArea(int32_t x, int32_t y, int32_t w, int32_t h, int32_t first, int32_t last) {
#ifdef BLUE
  (void)first;
  (void)last;
  SetFill(0x4A, 0xB9, 0xED);
  FillRect(x, y, w, h);
#else
  (void)x;
  (void)w;
  PaintHueColumns(first, last, y, y + h);
#endif
}

// Every text is drawn with its given point as its upper-left corner: the
// anchor flags "left" and "top", which DrawText takes as its two anchor
// arguments and hands to the canvas ORed together.
constexpr uint32_t kAnchorLeft = CANVAS_ANCHOR_LEFT;
constexpr uint32_t kAnchorTop = CANVAS_ANCHOR_TOP;

}  // namespace screen
