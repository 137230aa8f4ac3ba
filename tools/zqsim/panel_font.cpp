// SPDX-License-Identifier: MIT
#include "tools/zqsim/panel_font.h"

#include <fstream>

namespace zqsim {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Next code point of UTF-8 text; bad bytes give U+FFFD one byte at a time.
uint32_t NextCodePoint(const std::string& s, size_t* i) {
  unsigned char c = static_cast<unsigned char>(s[*i]);
  int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
  if (extra < 0 || *i + extra >= s.size()) {
    ++*i;
    return 0xFFFD;
  }
  uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    unsigned char d = static_cast<unsigned char>(s[*i + k]);
    if ((d & 0xC0) != 0x80) {
      ++*i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (d & 0x3F);
  }
  *i += extra + 1;
  return cp;
}

}  // namespace

bool PanelFont::Load(const char* hex_path) {
  std::ifstream in(hex_path);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    size_t colon = line.find(':');
    if (colon > 6) continue;  // no colon (npos) or more than six digits
    uint32_t cp = 0;
    bool ok = true;
    for (size_t i = 0; i < colon && ok; ++i) {
      int d = HexDigit(line[i]);
      ok = d >= 0;
      cp = cp * 16 + d;
    }
    std::string bits = line.substr(colon + 1);
    if (!ok || (bits.size() != 32 && bits.size() != 64)) continue;
    Glyph g{};
    g.width = bits.size() == 32 ? 8 : 16;
    int per_row = g.width / 4;
    for (int r = 0; r < 16 && ok; ++r) {
      uint16_t v = 0;
      for (int k = 0; k < per_row; ++k) {
        int d = HexDigit(bits[r * per_row + k]);
        if (d < 0) ok = false;
        v = static_cast<uint16_t>(v * 16 + (d < 0 ? 0 : d));
      }
      g.rows[r] = v;
    }
    if (ok) glyphs_[cp] = g;
  }
  return !glyphs_.empty();
}

// The glyph for a code point: a hollow box for what the font does not have.
const PanelFont::Glyph& PanelFont::GlyphOf(uint32_t cp) const {
  static const Glyph kBox = [] {
    Glyph box{};
    box.width = 8;
    for (int r = 2; r < 14; ++r) box.rows[r] = (r == 2 || r == 13) ? 0x7E : 0x42;
    return box;
  }();
  auto it = glyphs_.find(cp);
  return it == glyphs_.end() ? kBox : it->second;
}

int PanelFont::Width(const std::string& utf8) const {
  int w = 0;
  for (size_t i = 0; i < utf8.size();) w += GlyphOf(NextCodePoint(utf8, &i)).width;
  return w;
}

int PanelFont::Draw(uint8_t* rgb, int width, int height, int x, int y, const std::string& utf8, uint32_t color,
                    int zoom) const {
  int start = x;
  for (size_t i = 0; i < utf8.size();) {
    const Glyph& g = GlyphOf(NextCodePoint(utf8, &i));
    for (int r = 0; r < 16 * zoom; ++r) {
      int py = y + r;
      if (py < 0 || py >= height) continue;
      for (int c = 0; c < g.width * zoom; ++c) {
        int px = x + c;
        if (px < 0 || px >= width || !(g.rows[r / zoom] & (1u << (g.width - 1 - c / zoom)))) continue;
        uint8_t* p = rgb + (static_cast<size_t>(py) * width + px) * 3;
        p[0] = static_cast<uint8_t>(color >> 16);
        p[1] = static_cast<uint8_t>(color >> 8);
        p[2] = static_cast<uint8_t>(color);
      }
    }
    x += g.width * zoom;
  }
  return x - start;
}

}  // namespace zqsim
