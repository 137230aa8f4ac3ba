// Pixels and shapes of the stand-in's 176 x 220 screen.
#include "sim/raster.h"

namespace sim::raster {
namespace {

uint8_t g_pixels[kWidth * kHeight * 3];

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

uint8_t* pixels() {
  return g_pixels;
}

void clear(uint32_t rgb) {
  fill(0, 0, kWidth - 1, kHeight - 1, rgb);
}

void set_pixel(int x, int y, uint32_t rgb) {
  if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return;
  uint8_t* p = g_pixels + (y * kWidth + x) * 3;
  p[0] = (uint8_t)(rgb >> 16);
  p[1] = (uint8_t)(rgb >> 8);
  p[2] = (uint8_t)rgb;
}

uint32_t pixel(int x, int y) {
  if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return 0;
  const uint8_t* p = g_pixels + (y * kWidth + x) * 3;
  return ((uint32_t)p[0] << 16) | ((uint32_t)p[1] << 8) | p[2];
}

// Bresenham over the whole segment; pixels off the screen are skipped one by
// one, so a clipped line keeps the slope it would have had on screen.
void line(int x1, int y1, int x2, int y2, uint32_t rgb) {
  const int dx = Abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
  const int dy = -Abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    set_pixel(x1, y1, rgb);
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

void outline(int x1, int y1, int x2, int y2, uint32_t rgb) {
  line(x1, y1, x2, y1, rgb);
  line(x1, y2, x2, y2, rgb);
  line(x1, y1, x1, y2, rgb);
  line(x2, y1, x2, y2, rgb);
}

void fill(int x1, int y1, int x2, int y2, uint32_t rgb) {
  const int left = Max(Min(x1, x2), 0), right = Min(Max(x1, x2), kWidth - 1);
  const int top = Max(Min(y1, y2), 0), bottom = Min(Max(y1, y2), kHeight - 1);
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) set_pixel(x, y, rgb);
}

// Walks the ellipse in half-degree steps by rotating a unit vector, which
// needs no trigonometry library; neighbouring samples are joined by lines.
void arc(int x1, int y1, int x2, int y2, int start, int sweep, uint32_t rgb) {
  const float cx = (x1 + x2) / 2.0f, cy = (y1 + y2) / 2.0f;
  const float rx = Abs(x2 - x1) / 2.0f, ry = Abs(y2 - y1) / 2.0f;
  if (sweep < 0) {
    start += sweep;
    sweep = -sweep;
  }
  if (sweep > 360) sweep = 360;
  start %= 360;
  if (start < 0) start += 360;
  const float c1 = 0.99984769516f, s1 = 0.01745240643f;  // one degree
  float c = 1.0f, s = 0.0f;
  for (int i = 0; i < start; ++i) {
    const float nc = c * c1 - s * s1;
    s = s * c1 + c * s1;
    c = nc;
  }
  const float ch = 0.99996192306f, sh = 0.00872653549f;  // half a degree
  int px = (int)(cx + rx * c + 0.5f), py = (int)(cy - ry * s + 0.5f);
  set_pixel(px, py, rgb);
  for (int i = 0; i < 2 * sweep; ++i) {
    const float nc = c * ch - s * sh;
    s = s * ch + c * sh;
    c = nc;
    const int nx = (int)(cx + rx * c + 0.5f), ny = (int)(cy - ry * s + 0.5f);
    line(px, py, nx, ny, rgb);
    px = nx;
    py = ny;
  }
}

}  // namespace sim::raster
