// SPDX-License-Identifier: MIT
// Text pixels from GNU Unifont: 8 x 16 glyphs for half-width units, 16 x 16
// for full-width ones, read once from the font's .hex file.
#include "sim/port.h"
#include "sim/raster.h"

#ifndef ZQ_UNIFONT_DIR
#define ZQ_UNIFONT_DIR "/usr/share/unifont"
#endif

namespace sim::font {
namespace {

constexpr int kGlyphBytes = 32;  // 16 rows of up to two bytes

// One slot per 16-bit unit; width 0 means the font has no glyph for it.
uint8_t g_bits[65536][kGlyphBytes];
uint8_t g_width[65536];
bool g_loaded = false;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A line is "CODE:BITS" with 32 hex digits for a narrow glyph and 64 for a
// wide one. Lines of any other form, and codes beyond 16 bits, are skipped.
void ParseLine(const char* line, int length) {
  int i = 0;
  uint32_t code = 0;
  for (; i < length && line[i] != ':'; ++i) {
    const int v = HexValue(line[i]);
    if (v < 0 || i >= 6) return;
    code = code * 16 + (uint32_t)v;
  }
  if (i == 0 || i >= length || code > 0xFFFF) return;
  const char* bits = line + i + 1;
  const int digits = length - i - 1;
  if (digits != 32 && digits != 64) return;
  uint8_t glyph[kGlyphBytes] = {};
  for (int d = 0; d < digits; d += 2) {
    const int hi = HexValue(bits[d]), lo = HexValue(bits[d + 1]);
    if (hi < 0 || lo < 0) return;
    glyph[d / 2] = (uint8_t)(hi * 16 + lo);
  }
  for (int b = 0; b < kGlyphBytes; ++b) g_bits[code][b] = glyph[b];
  g_width[code] = digits == 32 ? 8 : 16;
}

// Streams the file through a fixed buffer; the core has no heap of its own.
void Load() {
  g_loaded = true;
  const int fd = port::OpenRead(ZQ_UNIFONT_DIR "/unifont.hex");
  if (fd < 0) {
    static const char kMissing[] = "zq_sim: unifont.hex not found; text shows as boxes\n";
    port::WriteErr(kMissing, sizeof(kMissing) - 1);
    return;
  }
  static char chunk[65536];
  char line[160];
  int used = 0;
  bool too_long = false;
  for (;;) {
    const int64_t got = port::Read(fd, chunk, sizeof(chunk));
    if (got <= 0) break;
    for (int64_t k = 0; k < got; ++k) {
      const char c = chunk[k];
      if (c == '\n' || c == '\r') {
        if (!too_long && used > 0) ParseLine(line, used);
        used = 0;
        too_long = false;
      } else if (used < (int)sizeof(line)) {
        line[used++] = c;
      } else {
        too_long = true;
      }
    }
  }
  if (!too_long && used > 0) ParseLine(line, used);
  port::Close(fd);
}

void EnsureLoaded() {
  if (!g_loaded) Load();
}

// A box that shows where a unit without a glyph stands.
const uint8_t kReplacement[16] = {0x00, 0x00, 0x7E, 0x42, 0x42, 0x42, 0x42, 0x42,
                                  0x42, 0x42, 0x42, 0x42, 0x42, 0x7E, 0x00, 0x00};

bool GlyphBit(WCHAR unit, int w, int row, int col) {
  if (g_width[unit] == 0) return (kReplacement[row] >> (7 - col)) & 1;
  const int bytes_per_row = w / 8;
  const uint8_t byte = g_bits[unit][row * bytes_per_row + col / 8];
  return (byte >> (7 - col % 8)) & 1;
}

}  // namespace

int Width(WCHAR unit) {
  EnsureLoaded();
  return g_width[unit] ? g_width[unit] : 8;
}

uint32_t TextWidth(const WCHAR* text, uint32_t length) {
  uint32_t total = 0;
  for (uint32_t i = 0; i < length && text[i] != 0; ++i) total += (uint32_t)Width(text[i]);
  return total;
}

void Draw(const WCHAR* text, uint32_t length, int x, int y, uint32_t fg, bool paint_background, uint32_t bg,
          int scale) {
  if (scale < 1) scale = 1;
  for (uint32_t i = 0; i < length && text[i] != 0; ++i) {
    const WCHAR unit = text[i];
    const int w = Width(unit);
    if (paint_background) raster::Fill(x, y, x + w * scale - 1, y + kHeight * scale - 1, bg);
    for (int row = 0; row < kHeight; ++row) {
      for (int col = 0; col < w; ++col) {
        if (!GlyphBit(unit, w, row, col)) continue;
        for (int dy = 0; dy < scale; ++dy)
          for (int dx = 0; dx < scale; ++dx) raster::SetPixel(x + col * scale + dx, y + row * scale + dy, fg);
      }
    }
    x += w * scale;
    if (x >= raster::kWidth) break;  // the rest lies right of the screen
  }
}

}  // namespace sim::font
