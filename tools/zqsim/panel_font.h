// SPDX-License-Identifier: MIT
// Text for the simulator's side panel, drawn with GNU Unifont glyphs (8 or
// 16 pixels wide, 16 high), the same font family the phone's screen uses.
#pragma once

#include <stdint.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace zqsim {

class PanelFont {
 public:
  // Reads unifont.hex; false when it cannot be read (text then shows as boxes).
  bool Load(const char* hex_path);

  // Draws UTF-8 text into an RGB buffer of `width` x `height` at (x, y), the
  // top left of the first glyph, each font pixel `zoom` x `zoom` pixels;
  // clipped to the buffer. Returns the width.
  int Draw(uint8_t* rgb, int width, int height, int x, int y, const std::string& utf8, uint32_t color,
           int zoom = 1) const;
  // The width draw() would give the text at zoom 1.
  int Width(const std::string& utf8) const;

  static constexpr int kHeight = 16;

 private:
  // 16 rows of up to 16 bits, and the glyph's width.
  struct Glyph {
    uint16_t rows[16];
    uint8_t width;
  };
  const Glyph& GlyphOf(uint32_t cp) const;
  std::unordered_map<uint32_t, Glyph> glyphs_;
};

}  // namespace zqsim
