// SPDX-License-Identifier: MIT
// The stand-in's screen pixels and the shapes drawn on them. Shared by the
// canvas service and the phone's own screens; clipped at the screen's edge.
#pragma once

#include <stdint.h>

#include "platform/types.h"

namespace sim::raster {

constexpr int kWidth = 176;
constexpr int kHeight = 220;

// Two layers of pixels: the canvas the program draws on, and the phone's own
// screen that covers it during a call or while the player's screen is hidden.
// Drawing goes to one layer; the display shows one (the canvas keeps its
// pixels while it is covered, as a phone's canvas does).
enum class Layer : uint8_t { kCanvas, kPhone };
void DrawOn(Layer layer);
void Show(Layer layer);
Layer Shown();

uint8_t* Pixels();  // the shown layer: kWidth x kHeight x 3 bytes, row by row
void Clear(uint32_t rgb);
void SetPixel(int x, int y, uint32_t rgb);
uint32_t Pixel(int x, int y);  // of the shown layer; 0 outside the screen
// Every pixel of both end points is included, in any direction.
void line(int x1, int y1, int x2, int y2, uint32_t rgb);
// Corners in either order; both lie inside the shape.
void Outline(int x1, int y1, int x2, int y2, uint32_t rgb);
void Fill(int x1, int y1, int x2, int y2, uint32_t rgb);
// The part of the ellipse inside the box from `start` degrees (3 o'clock,
// counter-clockwise) over `sweep` degrees.
void Arc(int x1, int y1, int x2, int y2, int start, int sweep, uint32_t rgb);

}  // namespace sim::raster

namespace sim::font {

constexpr int kHeight = 16;
// Width of a unit's glyph: 8 or 16; 8 for the replacement box of a unit
// without a glyph. Loads the font on first use.
int Width(WCHAR unit);
// Draws `length` units (stopping early at a zero unit) with the top-left
// corner at (x, y), each pixel `scale` times bigger. A cell background is
// painted only when `paint_background` is set.
void Draw(const WCHAR* text, uint32_t length, int x, int y, uint32_t fg, bool paint_background, uint32_t bg, int scale);
// Sum of the widths of the first `length` units (stopping at a zero unit).
uint32_t TextWidth(const WCHAR* text, uint32_t length);

}  // namespace sim::font
