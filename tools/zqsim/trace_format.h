// The pieces of zqsim's trace that depend on nothing but their input: text
// quoting, UTF-16 to UTF-8, and reading the lyrics rows out of canvas calls.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "sim/driver.h"

namespace zqsim {

// UTF-8 of 16-bit units (surrogate pairs joined; a lone surrogate becomes
// U+FFFD). Stops at `length` units or at a zero unit.
std::string utf16_to_utf8(const WCHAR* text, size_t length);

// `text` inside double quotes with `"` and `\` escaped by a backslash.
std::string quoted(const std::string& text);

// The lyrics area: the rows 100 to 199, and the row at 200 where a next line
// lands after a current line that filled the last row.
constexpr int kLyricsTop = 100;
constexpr int kLyricsBottom = 199;
constexpr int kLyricsOverflowRow = 200;

// What the lyrics area holds after one event.
struct LyricsRows {
  bool repainted = false;  // a fill or line covered part of the area, or text was drawn there
  std::string black;       // black text, rows joined with "|"
  std::string grey;        // grey (0x80, 0x80, 0x80) text, rows joined with "|"
};

// Scans the canvas calls of one event. Texts of the same colour on the same
// row are joined (a wrapped line arrives as one call per character); a new
// row starts whenever the row changes. A fill or a line over the area paints
// over the texts drawn before it, so the rows start afresh. Texts of other
// colours are ignored.
LyricsRows lyrics_rows(const sim::CanvasCall* calls, size_t count);

}  // namespace zqsim
