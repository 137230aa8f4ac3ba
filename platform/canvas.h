// SPDX-License-Identifier: MIT
// Canvas service, display and phone status.
//
// Coordinates are pixels, origin at the top-left, x to the right, y down.
// A region names both of its corners, and both lie inside it. Colours are
// red, green, blue and a transparency byte. Text is 16-bit units; strings are
// measured and drawn with font 1 (16 pixels high).
#pragma once

#include "platform/types.h"

// A point: x then y. Passed as one 32-bit value, x in the upper half.
struct CanvasPoint {
  int16_t x;
  int16_t y;
};

// A region: upper-left then lower-right corner, both inside.
struct CanvasRegion {
  CanvasPoint ul;
  CanvasPoint lr;
};

// A colour: red, green, blue, transparency; red in the most significant byte.
struct CanvasColor {
  uint8_t r;
  uint8_t g;
  uint8_t b;
  uint8_t t;
};

// Size of a text: height first, then width.
struct CanvasSize {
  uint16_t height;
  uint16_t width;
};

// The canvas buffer descriptor: no buffer of the program's own (the canvas
// provides the pixels), then the width and height in pixels.
struct CanvasBuffer {
  void* buffer;  // 32-bit word on the phone
  uint16_t width;
  uint16_t height;
};

#define CANVAS_FONT_DEFAULT 1
#define CANVAS_ANCHOR_LEFT 4
#define CANVAS_ANCHOR_TOP 16
#define DIALOG_TYPE_WORKING_TABLE 14  // the phone's idle screen

static_assert(sizeof(CanvasPoint) == 4, "point of 4 bytes");
static_assert(sizeof(CanvasRegion) == 8, "region of 8 bytes");
static_assert(sizeof(CanvasColor) == 4, "colour of 4 bytes");
#if ZQ_PHONE_LAYOUT
static_assert(sizeof(CanvasBuffer) == 8, "buffer descriptor of 8 bytes");
#endif

ZQ_BEGIN_DECLS

// The largest coordinates: x in the high half, y in the low half.
uint32_t UIS_CanvasGetDisplaySize(void);
// Creates a full-screen colour canvas for the application whose port is in
// the 4-byte block; returns its handle, 0 on failure.
uint32_t UIS_CreateColorCanvas(uint32_t* port_block, CanvasBuffer* buffer, uint32_t one);
uint32_t UIS_SetStatus(uint8_t indicator, uint8_t value);
uint32_t UIS_GetActiveDialogType(uint8_t* type);

uint32_t UIS_CanvasDrawLine(CanvasPoint from, CanvasPoint to, uint32_t dialog);
uint32_t UIS_CanvasDrawRect(CanvasRegion region, uint8_t filled, uint32_t dialog);
uint32_t UIS_CanvasDrawRoundRect(CanvasRegion region, uint32_t a, uint32_t b, uint32_t c, uint32_t dialog);
uint32_t UIS_CanvasFillRect(CanvasRegion region, uint32_t dialog);
uint32_t UIS_CanvasDrawArc(CanvasRegion region, uint32_t a, uint32_t b, uint32_t c, uint32_t dialog);
uint32_t UIS_CanvasSetFillColor(CanvasColor color);
uint32_t UIS_CanvasSetForegroundColor(CanvasColor color);
uint32_t UIS_CanvasSetBackgroundColor(CanvasColor color);
uint32_t UIS_CanvasSetFont(uint8_t font, uint32_t dialog);
uint32_t UIS_CanvasDrawColorText(const WCHAR* text, uint16_t offset, uint16_t length, CanvasPoint at, uint16_t anchor,
                                 uint32_t dialog);
uint32_t UIS_CanvasGetStringSize(const WCHAR* text, CanvasSize* size, uint8_t font);
uint32_t UIS_CanvasDrawImage(uint8_t kind, void* source, uint32_t a, uint32_t b, uint32_t c, CanvasPoint at,
                             uint16_t anchor, uint8_t flags, uint32_t dialog);

ZQ_END_DECLS
