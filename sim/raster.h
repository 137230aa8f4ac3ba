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
enum class Layer : uint8_t { Canvas, Phone };
void draw_on(Layer layer);
void show(Layer layer);
Layer shown();

uint8_t* pixels();  // the shown layer: kWidth x kHeight x 3 bytes, row by row
void clear(uint32_t rgb);
void set_pixel(int x, int y, uint32_t rgb);
uint32_t pixel(int x, int y);  // of the shown layer; 0 outside the screen
// Every pixel of both end points is included, in any direction.
void line(int x1, int y1, int x2, int y2, uint32_t rgb);
// Corners in either order; both lie inside the shape.
void outline(int x1, int y1, int x2, int y2, uint32_t rgb);
void fill(int x1, int y1, int x2, int y2, uint32_t rgb);
// The part of the ellipse inside the box from `start` degrees (3 o'clock,
// counter-clockwise) over `sweep` degrees.
void arc(int x1, int y1, int x2, int y2, int start, int sweep, uint32_t rgb);

}  // namespace sim::raster

namespace sim::font {

constexpr int kHeight = 16;
// Width of a unit's glyph: 8 or 16; 8 for the replacement box of a unit
// without a glyph. Loads the font on first use.
int width(WCHAR unit);
// Draws `length` units (stopping early at a zero unit) with the top-left
// corner at (x, y), each pixel `scale` times bigger. A cell background is
// painted only when `paint_background` is set.
void draw(const WCHAR* text, uint32_t length, int x, int y, uint32_t fg, bool paint_background, uint32_t bg, int scale);
// Sum of the widths of the first `length` units (stopping at a zero unit).
uint32_t text_width(const WCHAR* text, uint32_t length);

}  // namespace sim::font
