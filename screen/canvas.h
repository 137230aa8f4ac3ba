// SPDX-License-Identifier: MIT
// Drawing primitives over the firmware canvas named by player.dialog.
// Regions given as (x, y, w, h) have the corners (x, y) and (x + w, y + h).
#pragma once

#include "platform/firmware.h"

uint32_t DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
uint32_t DrawRect(int32_t x, int32_t y, int32_t w, int32_t h);
uint32_t DrawRectxy(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
uint32_t DrawRoundRect(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t a, uint32_t b, uint32_t c);
uint32_t FillRect(int32_t x, int32_t y, int32_t w, int32_t h);
uint32_t DrawArc_any(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t a, uint32_t b, uint32_t c);
uint32_t DrawArc(int32_t cx, int32_t cy, int32_t r, uint32_t a, uint32_t b, uint32_t c);
uint32_t SetFillColor(uint8_t r, uint8_t g, uint8_t b, uint8_t t);
uint32_t SetFillColor_u2c(uint16_t color);
uint32_t SetFillColor_x(uint32_t color);
uint32_t SetForegroundColor(uint8_t r, uint8_t g, uint8_t b, uint8_t t);
uint32_t SetForegroundColor_u2c(uint16_t color);
uint32_t SetForegroundColor_x(uint32_t color);
uint32_t DrawText(const WCHAR* text, int32_t x, int32_t y, uint32_t a, uint32_t b);
uint32_t DrawDrmImage(void* source, int32_t x, int32_t y, uint32_t a, uint32_t b);
uint32_t DrawPathImage(void* source, int32_t x, int32_t y, uint32_t a, uint32_t b);
uint32_t floodfill(int32_t x, int32_t y, uint16_t color);
uint32_t getfontsize(const WCHAR* text, uint8_t font);  // height high half, width low half
#ifndef BLUE
uint32_t get_rain_f(uint32_t v);
// Paints columns a to b (inclusive) from row top to row bottom in the colour
// of the wheel at 8 x column.
void PaintHueColumns(int32_t a, int32_t b, int32_t top, int32_t bottom);
#endif
