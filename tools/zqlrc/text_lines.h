// SPDX-License-Identifier: MIT
// The lines of a lyrics text as the mends of lyrics_mends.h see them: a
// timed line is its leading time tags and its text; any other line is text
// only. Used by the mends of one line (line_mends.cpp) and by the fitting of
// the whole file into the phone's limits (line_fitting.cpp).
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "lyrics_mends.h"

namespace zqlrc {

struct TextLine {
  std::vector<std::u32string> time_tags;  // "[01:02.50]", in order; empty for a line without
  std::vector<uint32_t> times;            // the time of each, in milliseconds
  std::u32string text;                    // the rest of the line (the whole line when untimed)
  std::u32string end;                     // its line end: CR LF, LF, CR or none
  uint32_t number = 0;                    // its line in the author's text
  bool Timed() const { return !time_tags.empty(); }
};

constexpr uint32_t kPhoneLines = 100;
constexpr uint32_t kPhoneTimes = 200;

// Mends one line of the author's text (without its end) and appends what
// becomes of it: nothing (a dropped line), the line, or the lines it splits into.
void MendLine(const std::u32string& line, const std::u32string& end, uint32_t number, std::vector<TextLine>* out,
              Mends* mends);

// Fits the lines into the phone's limits as far as that loses nothing, and
// joins lines that share their times when asked.
void FitLines(std::vector<TextLine>* lines, const MendOptions& options, Mends* mends);

// "[mm:ss.xx]" in `text` at `k`, strictly: its length and time, or 0.
size_t TimeTagAt(const std::u32string& text, size_t k, uint32_t* ms);

}  // namespace zqlrc
