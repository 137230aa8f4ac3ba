// SPDX-License-Identifier: MIT
// The pieces of the trace that depend on nothing but their input: text
// quoting, UTF-16 to UTF-8, and reading the lyrics rows out of canvas calls.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "drive/text.h"
#include "sim/driver.h"

namespace drive {

// Appends the UTF-8 of 16-bit units (surrogate pairs joined; a lone
// surrogate becomes U+FFFD). Stops at `length` units or at a zero unit.
void AppendUtf8(Text* out, const WCHAR* text, size_t length);

// Appends `text` inside double quotes with `"` and `\` escaped by a backslash.
void AppendQuoted(Text* out, const char* text);

// The lyrics area: the rows 100 to 199, and the row at 200 where a next line
// lands after a current line that filled the last row.
constexpr int kLyricsTop = 100;
constexpr int kLyricsBottom = 199;
constexpr int kLyricsOverflowRow = 200;

// What the lyrics area holds after one event, read from its canvas calls in
// order. Texts of the same colour on the same row are joined (a wrapped line
// arrives as one call per character); a new row starts whenever the row
// changes. A fill or a line over the area paints over the texts drawn before
// it, so the rows start afresh. Texts of other colours are ignored.
class LyricsRows {
 public:
  void Add(const sim::CanvasCall& call);

  // A fill or line covered part of the area, or text was drawn there.
  bool Repainted() const { return repainted_; }
  // Black text, and grey (0x80, 0x80, 0x80) text, rows joined with "|".
  const char* Black() const { return black_.text.CStr(); }
  const char* Grey() const { return grey_.text.CStr(); }

 private:
  struct Joiner {
    Text text;
    bool any = false;
    int row = 0;
    void Add(int y, const sim::CanvasCall& call);
    void Restart() {
      text.Clear();
      any = false;
    }
  };
  Joiner black_, grey_;
  bool repainted_ = false;
};

}  // namespace drive
