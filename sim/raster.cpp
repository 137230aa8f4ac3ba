// SPDX-License-Identifier: MIT
// Pixels and shapes of the stand-in's 176 x 220 screen.
#include "sim/raster.h"

namespace sim::raster {
namespace {

uint8_t g_layers[2][kWidth * kHeight * 3];
uint8_t* g_target = g_layers[0];  // the layer drawn on
uint8_t* g_shown = g_layers[0];   // the layer displayed

int Min(int a, int b) {
  return a < b ? a : b;
}
int Max(int a, int b) {
  return a > b ? a : b;
}
int Abs(int a) {
  return a < 0 ? -a : a;
}

}  // namespace

void DrawOn(Layer layer) {
  g_target = g_layers[layer == Layer::kCanvas ? 0 : 1];
}

void Show(Layer layer) {
  g_shown = g_layers[layer == Layer::kCanvas ? 0 : 1];
}

Layer Shown() {
  return g_shown == g_layers[0] ? Layer::kCanvas : Layer::kPhone;
}

uint8_t* Pixels() {
  return g_shown;
}

void Clear(uint32_t rgb) {
  Fill(0, 0, kWidth - 1, kHeight - 1, rgb);
}

void SetPixel(int x, int y, uint32_t rgb) {
  if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return;
  uint8_t* p = g_target + (y * kWidth + x) * 3;
  p[0] = (uint8_t)(rgb >> 16);
  p[1] = (uint8_t)(rgb >> 8);
  p[2] = (uint8_t)rgb;
}

uint32_t Pixel(int x, int y) {
  if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return 0;
  const uint8_t* p = g_shown + (y * kWidth + x) * 3;
  return ((uint32_t)p[0] << 16) | ((uint32_t)p[1] << 8) | p[2];
}

// Bresenham over the whole segment; pixels off the screen are skipped one by
// one, so a clipped line keeps the slope it would have had on screen.
void line(int x1, int y1, int x2, int y2, uint32_t rgb) {
  const int dx = Abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
  const int dy = -Abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    SetPixel(x1, y1, rgb);
    if (x1 == x2 && y1 == y2) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x1 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y1 += sy;
    }
  }
}

void Outline(int x1, int y1, int x2, int y2, uint32_t rgb) {
  line(x1, y1, x2, y1, rgb);
  line(x1, y2, x2, y2, rgb);
  line(x1, y1, x1, y2, rgb);
  line(x2, y1, x2, y2, rgb);
}

void Fill(int x1, int y1, int x2, int y2, uint32_t rgb) {
  const int left = Max(Min(x1, x2), 0), right = Min(Max(x1, x2), kWidth - 1);
  const int top = Max(Min(y1, y2), 0), bottom = Min(Max(y1, y2), kHeight - 1);
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) SetPixel(x, y, rgb);
}

// Walks the ellipse in half-degree steps by rotating a unit vector held in
// 2.30 fixed point: no floating point and no trigonometry library, so the
// core stays buildable without either. Neighbouring samples are joined.
namespace {

constexpr int64_t kOne = int64_t{1} << 30;
constexpr int64_t kCos1 = 1073578288, kSin1 = 18739379;       // one degree
constexpr int64_t kCosHalf = 1073700939, kSinHalf = 9370046;  // half a degree

void Rotate(int64_t* c, int64_t* s, int64_t cos_step, int64_t sin_step) {
  const int64_t nc = (*c * cos_step - *s * sin_step) >> 30;
  *s = (*s * cos_step + *c * sin_step) >> 30;
  *c = nc;
}

// Doubled centre and diameters keep half pixels exact; rounds to nearest.
int OnEllipse(int centre2, int diameter, int64_t unit) {
  return (int)((centre2 + ((diameter * unit) >> 30) + 1) >> 1);
}

}  // namespace

void Arc(int x1, int y1, int x2, int y2, int start, int sweep, uint32_t rgb) {
  const int cx2 = x1 + x2, cy2 = y1 + y2;
  const int dx = Abs(x2 - x1), dy = Abs(y2 - y1);
  if (sweep < 0) {
    start += sweep;
    sweep = -sweep;
  }
  if (sweep > 360) sweep = 360;
  start %= 360;
  if (start < 0) start += 360;
  int64_t c = kOne, s = 0;
  for (int i = 0; i < start; ++i) Rotate(&c, &s, kCos1, kSin1);
  int px = OnEllipse(cx2, dx, c), py = OnEllipse(cy2, dy, -s);
  SetPixel(px, py, rgb);
  for (int i = 0; i < 2 * sweep; ++i) {
    Rotate(&c, &s, kCosHalf, kSinHalf);
    const int nx = OnEllipse(cx2, dx, c), ny = OnEllipse(cy2, dy, -s);
    line(px, py, nx, ny, rgb);
    px = nx;
    py = ny;
  }
}

}  // namespace sim::raster
