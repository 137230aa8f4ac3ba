// SPDX-License-Identifier: MIT
// The colour wheel of the theme without BLUE: every area is painted with
// vertical lines whose colour depends only on the column, so areas repainted
// at different times still form one continuous band.
#include "screen/canvas.h"

#ifndef BLUE

// Six segments of 255 steps: red, yellow, green, cyan, blue, magenta.
uint32_t get_rain_f(uint32_t v) {
  uint32_t h = v % 1530;
  uint8_t r, g, b;
  if (h <= 255) {
    r = 255, g = (uint8_t)h, b = 0;
  } else if (h <= 510) {
    r = (uint8_t)(510 - h), g = 255, b = 0;
  } else if (h <= 765) {
    r = 0, g = 255, b = (uint8_t)(h - 510);
  } else if (h <= 1020) {
    r = 0, g = (uint8_t)(1020 - h), b = 255;
  } else if (h <= 1275) {
    r = (uint8_t)(h - 1020), g = 0, b = 255;
  } else {
    r = 255, g = 0, b = (uint8_t)(1530 - h);
  }
  SetForegroundColor(r, g, b, 128);
  return 0;
}

void PaintHueColumns(int32_t a, int32_t b, int32_t top, int32_t bottom) {
  for (int32_t i = a; i <= b; ++i) {
    get_rain_f((uint16_t)(8 * i));
    DrawLine(i, top, i, bottom);
  }
}

#endif
