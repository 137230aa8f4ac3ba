// SPDX-License-Identifier: MIT
// The changes of the text itself that zqlrc fix makes, and that zqlrc check
// reports: word-timing tags (<mm:ss.xx> inside a timed line, which the phone
// shows as text) are removed with the words kept, and characters beyond U+FFFF
// (emoji), which the phone's 16-bit text cannot hold, are dropped. Every
// time tag, ID tag and line end stays exactly where it was.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace zqlrc {

struct Mends {
  uint32_t word_tags = 0;            // word-timing tags removed
  uint32_t word_tag_line = 0;        // the line of the first one
  std::vector<uint32_t> wide_lines;  // the line of each character dropped
  bool Any() const { return word_tags > 0 || !wide_lines.empty(); }
};

// The text with the mends made; what was made goes to *mends.
std::u32string MendText(const std::u32string& text, Mends* mends);

// "1 character", "2 characters": a count and its noun for a person; `many`
// when the plural is not the noun and an "s".
std::string Count(size_t n, const std::string& one, const char* many = nullptr);

// "lines 3, 7 and 9" for a person, each line once.
std::string LineList(const std::vector<uint32_t>& lines);

}  // namespace zqlrc
