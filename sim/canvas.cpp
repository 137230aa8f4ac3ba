// SPDX-License-Identifier: MIT
// The canvas service: one 176 x 220 screen, canvases handed out as handles,
// current colours and font, and every call kept in the call log.
#include "platform/canvas.h"

#include "sim/canvas_log.h"
#include "sim/internal.h"
#include "sim/raster.h"

namespace sim {
namespace {

constexpr int kMaxCanvases = 8;
constexpr uint32_t kFirstHandle = 0x00C0A001;
constexpr uint32_t kFreshCanvasRgb = 0xFFFFFF;

struct State {
  uint32_t live[kMaxCanvases];  // handles of canvases not yet deleted; 0 = free
  uint32_t next_handle;
  uint32_t failures_pending;
  CanvasColor fill;
  CanvasColor foreground;
  CanvasColor background;
  uint8_t font;
};

// Constant-initialised, so the service is usable before the first reset.
State g = {{}, kFirstHandle, 0, {0xFF, 0xFF, 0xFF, 0}, {0, 0, 0, 0}, {0, 0, 0, 255}, CANVAS_FONT_DEFAULT};

CanvasColor MakeColor(uint8_t r, uint8_t g, uint8_t b, uint8_t t) {
  CanvasColor c = {r, g, b, t};
  return c;
}

// Fills and the foreground are opaque whatever their transparency byte.
uint32_t Rgb(CanvasColor c) {
  return ((uint32_t)c.r << 16) | ((uint32_t)c.g << 8) | c.b;
}

bool IsLive(uint32_t handle) {
  if (handle == 0) return false;
  for (uint32_t h : g.live)
    if (h == handle) return true;
  return false;
}

CanvasCall Call(CanvasOp op, uint32_t dialog, CanvasRegion r) {
  CanvasCall call = canvas_log::Blank(op, dialog);
  call.x1 = r.ul.x;
  call.y1 = r.ul.y;
  call.x2 = r.lr.x;
  call.y2 = r.lr.y;
  return call;
}

CanvasRegion RegionOf(CanvasPoint a, CanvasPoint b) {
  CanvasRegion r = {a, b};
  return r;
}

// Horizontal and vertical anchor flags in the usual sense: 1 centre, 4 left,
// 8 right; 2 centre, 16 top, 32 bottom, 64 baseline. No flag means top-left.
void ApplyAnchor(uint16_t anchor, uint32_t width, int* x, int* y) {
  if (anchor & 1)
    *x -= (int)width / 2;
  else if (anchor & 8)
    *x -= (int)width;
  if (anchor & 2)
    *y -= font::kHeight / 2;
  else if (anchor & 32)
    *y -= font::kHeight;
  else if (anchor & 64)
    *y -= font::kHeight - 2;
}

}  // namespace

namespace internal {

void CanvasReset() {
  g = State{};
  g.next_handle = kFirstHandle;
  g.fill = MakeColor(0xFF, 0xFF, 0xFF, 0);
  g.foreground = MakeColor(0, 0, 0, 0);
  g.background = MakeColor(0, 0, 0, 255);
  g.font = CANVAS_FONT_DEFAULT;
  raster::DrawOn(raster::Layer::kPhone);
  raster::Clear(0x000000);
  raster::DrawOn(raster::Layer::kCanvas);
  raster::Clear(0x000000);
  raster::Show(raster::Layer::kCanvas);
  CanvasLogClear();
}

void CanvasUncover() {
  raster::Show(raster::Layer::kCanvas);
}

void CanvasDelete(uint32_t handle) {
  for (uint32_t& h : g.live)
    if (h != 0 && h == handle) h = 0;
  canvas_log::Record(canvas_log::Blank(CanvasOp::kDelete, handle));
}

}  // namespace internal

bool CanvasExists() {
  for (uint32_t h : g.live)
    if (h != 0) return true;
  return false;
}

uint32_t CanvasPixel(int x, int y) {
  return raster::Pixel(x, y);
}
const uint8_t* FramebufferRgb() {
  return raster::Pixels();
}
void FailCanvasCreation(uint32_t times) {
  g.failures_pending = times;
}

}  // namespace sim

using namespace sim;

extern "C" {

uint32_t UIS_CanvasGetDisplaySize(void) {
  return ((uint32_t)(raster::kWidth - 1) << 16) | (uint32_t)(raster::kHeight - 1);
}

// A new canvas starts white; creation fails while failures are pending or
// when every slot is taken.
uint32_t UIS_CreateColorCanvas(uint32_t* port_block, CanvasBuffer* buffer, uint32_t one) {
  (void)port_block;
  (void)buffer;
  (void)one;
  uint32_t handle = 0;
  if (g.failures_pending > 0) {
    --g.failures_pending;
  } else {
    for (uint32_t& slot : g.live) {
      if (slot == 0) {
        handle = g.next_handle++;
        if (g.next_handle == 0) g.next_handle = kFirstHandle;
        slot = handle;
        raster::Clear(kFreshCanvasRgb);
        raster::Show(raster::Layer::kCanvas);
        break;
      }
    }
  }
  canvas_log::Record(canvas_log::Blank(sim::CanvasOp::kCreate, handle));
  return handle;
}

// The three current colours are set alike: keep the colour, log the call.
static uint32_t SetCurrentColour(CanvasColor& slot, sim::CanvasOp op, CanvasColor color) {
  slot = color;
  CanvasCall call = canvas_log::Blank(op, 0);
  call.color = color;
  canvas_log::Record(call);
  return 0;
}

uint32_t UIS_CanvasSetFillColor(CanvasColor color) {
  return SetCurrentColour(g.fill, sim::CanvasOp::kSetFillColor, color);
}

uint32_t UIS_CanvasSetForegroundColor(CanvasColor color) {
  return SetCurrentColour(g.foreground, sim::CanvasOp::kSetForegroundColor, color);
}

uint32_t UIS_CanvasSetBackgroundColor(CanvasColor color) {
  return SetCurrentColour(g.background, sim::CanvasOp::kSetBackgroundColor, color);
}

uint32_t UIS_CanvasSetFont(uint8_t font, uint32_t dialog) {
  CanvasCall call = canvas_log::Blank(sim::CanvasOp::kSetFont, dialog);
  call.a = font;
  canvas_log::Record(call);
  if (!sim::IsLive(dialog)) return 1;
  g.font = font;  // one font: every identifier draws Unifont
  return 0;
}

uint32_t UIS_CanvasDrawLine(CanvasPoint from, CanvasPoint to, uint32_t dialog) {
  CanvasCall call = sim::Call(sim::CanvasOp::kDrawLine, dialog, sim::RegionOf(from, to));
  call.color = g.foreground;
  canvas_log::Record(call);
  if (!sim::IsLive(dialog)) return 1;
  raster::line(from.x, from.y, to.x, to.y, sim::Rgb(g.foreground));
  return 0;
}

uint32_t UIS_CanvasDrawRect(CanvasRegion region, uint8_t filled, uint32_t dialog) {
  CanvasCall call = sim::Call(sim::CanvasOp::kDrawRect, dialog, region);
  call.a = filled;
  call.color = g.foreground;
  canvas_log::Record(call);
  if (!sim::IsLive(dialog)) return 1;
  if (filled) raster::Fill(region.ul.x, region.ul.y, region.lr.x, region.lr.y, sim::Rgb(g.fill));
  raster::Outline(region.ul.x, region.ul.y, region.lr.x, region.lr.y, sim::Rgb(g.foreground));
  return 0;
}

// a and b are the width and height of the corner arcs.
uint32_t UIS_CanvasDrawRoundRect(CanvasRegion region, uint32_t a, uint32_t b, uint32_t c, uint32_t dialog) {
  CanvasCall call = sim::Call(sim::CanvasOp::kDrawRoundRect, dialog, region);
  call.a = a;
  call.b = b;
  call.c = c;
  call.color = g.foreground;
  canvas_log::Record(call);
  if (!sim::IsLive(dialog)) return 1;
  int x1 = region.ul.x, y1 = region.ul.y, x2 = region.lr.x, y2 = region.lr.y;
  if (x1 > x2) x1 = region.lr.x, x2 = region.ul.x;
  if (y1 > y2) y1 = region.lr.y, y2 = region.ul.y;
  int aw = (int)(a > 0xFFFF ? 0xFFFF : a), ah = (int)(b > 0xFFFF ? 0xFFFF : b);
  if (aw > x2 - x1) aw = x2 - x1;
  if (ah > y2 - y1) ah = y2 - y1;
  const uint32_t rgb = sim::Rgb(g.foreground);
  const int rx = aw / 2, ry = ah / 2;
  raster::line(x1 + rx, y1, x2 - rx, y1, rgb);
  raster::line(x1 + rx, y2, x2 - rx, y2, rgb);
  raster::line(x1, y1 + ry, x1, y2 - ry, rgb);
  raster::line(x2, y1 + ry, x2, y2 - ry, rgb);
  raster::Arc(x2 - aw, y1, x2, y1 + ah, 0, 90, rgb);
  raster::Arc(x1, y1, x1 + aw, y1 + ah, 90, 90, rgb);
  raster::Arc(x1, y2 - ah, x1 + aw, y2, 180, 90, rgb);
  raster::Arc(x2 - aw, y2 - ah, x2, y2, 270, 90, rgb);
  return 0;
}

uint32_t UIS_CanvasFillRect(CanvasRegion region, uint32_t dialog) {
  CanvasCall call = sim::Call(sim::CanvasOp::kFillRect, dialog, region);
  call.color = g.fill;
  canvas_log::Record(call);
  if (!sim::IsLive(dialog)) return 1;
  raster::Fill(region.ul.x, region.ul.y, region.lr.x, region.lr.y, sim::Rgb(g.fill));
  return 0;
}

// a is the start angle and b the sweep, in degrees; c is not used.
uint32_t UIS_CanvasDrawArc(CanvasRegion region, uint32_t a, uint32_t b, uint32_t c, uint32_t dialog) {
  CanvasCall call = sim::Call(sim::CanvasOp::kDrawArc, dialog, region);
  call.a = a;
  call.b = b;
  call.c = c;
  call.color = g.foreground;
  canvas_log::Record(call);
  if (!sim::IsLive(dialog)) return 1;
  raster::Arc(region.ul.x, region.ul.y, region.lr.x, region.lr.y, (int)(a % 360), (int)b % 361, sim::Rgb(g.foreground));
  return 0;
}

// The background behind the glyphs is painted unless its transparency byte
// is 255, which lets the screen show through.
uint32_t UIS_CanvasDrawColorText(const WCHAR* text, uint16_t offset, uint16_t length, CanvasPoint at, uint16_t anchor,
                                 uint32_t dialog) {
  CanvasCall call = canvas_log::Blank(sim::CanvasOp::kDrawText, dialog);
  call.x1 = at.x;
  call.y1 = at.y;
  call.a = offset;
  call.b = length;
  call.c = anchor;
  call.color = g.foreground;
  if (text) canvas_log::SetText(&call, text + offset, length);
  canvas_log::Record(call);
  if (!sim::IsLive(dialog) || !text) return 1;
  const WCHAR* start = text + offset;
  int x = at.x, y = at.y;
  sim::ApplyAnchor(anchor, sim::font::TextWidth(start, length), &x, &y);
  sim::font::Draw(start, length, x, y, sim::Rgb(g.foreground), g.background.t != 255, sim::Rgb(g.background), 1);
  return 0;
}

// Height 16 and the sum of the glyph widths of the whole text.
uint32_t UIS_CanvasGetStringSize(const WCHAR* text, CanvasSize* size, uint8_t font) {
  CanvasCall call = canvas_log::Blank(sim::CanvasOp::kGetStringSize, 0);
  call.a = font;
  if (text) canvas_log::SetText(&call, text, 0xFFFFFFFFu);
  canvas_log::Record(call);
  if (!size) return 1;
  size->height = sim::font::kHeight;
  uint32_t width = text ? sim::font::TextWidth(text, 0xFFFFFFFFu) : 0;
  size->width = (uint16_t)(width > 0xFFFF ? 0xFFFF : width);
  return text ? 0 : 1;
}

// Images are logged only: the program draws none, and the stand-in has no
// image formats.
uint32_t UIS_CanvasDrawImage(uint8_t kind, void* source, uint32_t a, uint32_t b, uint32_t c, CanvasPoint at,
                             uint16_t anchor, uint8_t flags, uint32_t dialog) {
  (void)source;
  CanvasCall call = canvas_log::Blank(sim::CanvasOp::kDrawImage, dialog);
  call.x1 = at.x;
  call.y1 = at.y;
  call.a = kind;
  call.b = anchor;
  call.c = flags;
  (void)a;
  (void)b;
  (void)c;
  canvas_log::Record(call);
  return sim::IsLive(dialog) ? 0 : 1;
}

}  // extern "C"
