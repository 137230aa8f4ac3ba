// SPDX-License-Identifier: MIT
// Drawing primitives: each turns plain integers into the canvas service's
// point, region and colour forms and makes one call on player.dialog.
#include "screen/canvas.h"

#include "app/player_state.h"

namespace {

// Coordinates are truncated to 16 bits, as the canvas takes them.
CanvasPoint Point(int32_t x, int32_t y) {
  CanvasPoint p;
  p.x = (int16_t)x;
  p.y = (int16_t)y;
  return p;
}

// Both corners lie inside the region, so (x, y, w, h) reaches x + w, y + h.
CanvasRegion Region(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  CanvasRegion r;
  r.ul = Point(x1, y1);
  r.lr = Point(x2, y2);
  return r;
}

CanvasColor Color(uint8_t r, uint8_t g, uint8_t b, uint8_t t) {
  CanvasColor c;
  c.r = r;
  c.g = g;
  c.b = b;
  c.t = t;
  return c;
}

// A 4-bit field n becomes the byte n x 16, so 0xF gives 0xF0.
uint8_t Nibble(uint32_t value, uint32_t shift) {
  return (uint8_t)(((value >> shift) & 0xF) * 16);
}

CanvasColor FromPacked16(uint16_t c) {
  return Color(Nibble(c, 12), Nibble(c, 8), Nibble(c, 4), Nibble(c, 0));
}

// Of each byte of the word only its low four bits count.
CanvasColor FromWord(uint32_t c) {
  return Color(Nibble(c, 24), Nibble(c, 16), Nibble(c, 8), Nibble(c, 0));
}

uint16_t Anchor(uint32_t a, uint32_t b) {
  return (uint16_t)(a | b);
}

}  // namespace

uint32_t DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  UIS_CanvasDrawLine(Point(x1, y1), Point(x2, y2), player.dialog);
  return 0;
}

uint32_t DrawRect(int32_t x, int32_t y, int32_t w, int32_t h) {
  UIS_CanvasDrawRect(Region(x, y, x + w, y + h), 0, player.dialog);
  return 0;
}

uint32_t DrawRectxy(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  UIS_CanvasDrawRect(Region(x1, y1, x2, y2), 0, player.dialog);
  return 0;
}

uint32_t DrawRoundRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t a, uint32_t b, uint32_t c) {
  UIS_CanvasDrawRoundRect(Region(x, y, x + w, y + h), a, b, c, player.dialog);
  return 0;
}

uint32_t FillRect(int32_t x, int32_t y, int32_t w, int32_t h) {
  UIS_CanvasFillRect(Region(x, y, x + w, y + h), player.dialog);
  return 0;
}

uint32_t DrawArc_any(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t a, uint32_t b, uint32_t c) {
  UIS_CanvasDrawArc(Region(x, y, x + w, y + h), a, b, c, player.dialog);
  return 0;
}

uint32_t DrawArc(int32_t cx, int32_t cy, int32_t r, uint32_t a, uint32_t b, uint32_t c) {
  UIS_CanvasDrawArc(Region(cx - r, cy - r, cx + r, cy + r), a, b, c, player.dialog);
  return 0;
}

uint32_t SetFillColor(uint8_t r, uint8_t g, uint8_t b, uint8_t t) {
  UIS_CanvasSetFillColor(Color(r, g, b, t));
  return 0;
}

uint32_t SetFillColor_u2c(uint16_t color) {
  UIS_CanvasSetFillColor(FromPacked16(color));
  return 0;
}

uint32_t SetFillColor_x(uint32_t color) {
  UIS_CanvasSetFillColor(FromWord(color));
  return 0;
}

uint32_t SetForegroundColor(uint8_t r, uint8_t g, uint8_t b, uint8_t t) {
  UIS_CanvasSetForegroundColor(Color(r, g, b, t));
  return 0;
}

uint32_t SetForegroundColor_u2c(uint16_t color) {
  UIS_CanvasSetForegroundColor(FromPacked16(color));
  return 0;
}

uint32_t SetForegroundColor_x(uint32_t color) {
  UIS_CanvasSetForegroundColor(FromWord(color));
  return 0;
}

// The text colour is the caller's foreground; font and a see-through
// background are set again every time, since other drawing may change them.
uint32_t DrawText(const WCHAR* text, int32_t x, int32_t y, uint32_t a, uint32_t b) {
  UIS_CanvasSetFont(CANVAS_FONT_DEFAULT, player.dialog);
  UIS_CanvasSetBackgroundColor(Color(0, 0, 0, 255));
  uint16_t length = (uint16_t)u_strlen(text);
  UIS_CanvasDrawColorText(text, 0, length, Point(x, y), Anchor(a, b), player.dialog);
  return 0;
}

// The three values between the source and the point are not used by anything
// in the program; zeros keep the firmware on its defaults.
uint32_t DrawDrmImage(void* source, int32_t x, int32_t y, uint32_t a, uint32_t b) {
  UIS_CanvasDrawImage(0, source, 0, 0, 0, Point(x, y), Anchor(a, b), 0, player.dialog);
  return 0;
}

uint32_t DrawPathImage(void* source, int32_t x, int32_t y, uint32_t a, uint32_t b) {
  UIS_CanvasDrawImage(1, source, 0, 0, 0, Point(x, y), Anchor(a, b), 6, player.dialog);
  return 0;
}

uint32_t floodfill(int32_t x, int32_t y, uint16_t color) {
  SetFillColor_u2c(color);
  FillRect(x, y, 6, 6);
  return 0;
}

// The size comes as two 16-bit fields; they are joined explicitly, height in
// the upper half, so the result is the same on either byte order.
uint32_t getfontsize(const WCHAR* text, uint8_t font) {
  CanvasSize size;
  size.height = 0;
  size.width = 0;
  UIS_CanvasGetStringSize(text, &size, font);
  return ((uint32_t)size.height << 16) | size.width;
}
