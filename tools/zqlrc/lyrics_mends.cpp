// SPDX-License-Identifier: MIT
#include "lyrics_mends.h"

#include "text_reading.h"

namespace zqlrc {

namespace {

bool IsDigit(char32_t c) {
  return c >= U'0' && c <= U'9';
}

// Digits from `k`; returns the index after them.
size_t SkipDigits(const std::u32string& text, size_t k) {
  while (k < text.size() && IsDigit(text[k])) ++k;
  return k;
}

// The length of a word-timing tag "<" digits ":" digits ["." digits] ">"
// at `k`, or 0 when there is none.
size_t WordTagAt(const std::u32string& text, size_t k) {
  if (text[k] != U'<') return 0;
  size_t minutes = SkipDigits(text, k + 1);
  if (minutes == k + 1 || minutes >= text.size() || text[minutes] != U':') return 0;
  size_t seconds = SkipDigits(text, minutes + 1);
  if (seconds == minutes + 1) return 0;
  size_t end = seconds;
  if (end < text.size() && text[end] == U'.') {
    end = SkipDigits(text, seconds + 1);
    if (end == seconds + 1) return 0;
  }
  if (end >= text.size() || text[end] != U'>') return 0;
  return end + 1 - k;
}

// Word-timing tags belong to the text of timed lines: a line that starts
// with "[" and a digit. Anywhere else (an ID tag's value) text stays as it is.
bool TimedLineAt(const std::u32string& text, size_t k) {
  return k + 1 < text.size() && text[k] == U'[' && IsDigit(text[k + 1]);
}

}  // namespace

std::u32string MendText(const std::u32string& text, Mends* mends) {
  *mends = Mends();
  std::u32string out;
  out.reserve(text.size());
  // Lines are counted as the walk goes, so that the whole is one pass.
  uint32_t line = 1;
  bool timed = TimedLineAt(text, 0);
  for (size_t k = 0; k < text.size();) {
    char32_t c = text[k];
    size_t tag = timed ? WordTagAt(text, k) : 0;
    if (tag > 0) {
      if (mends->word_tags++ == 0) mends->word_tag_line = line;
      k += tag;
      continue;
    }
    if (c > 0xFFFF) {
      mends->wide_lines.push_back(line);
    } else {
      out.push_back(c);
    }
    if (EndsLine(text, k)) {
      ++line;
      timed = TimedLineAt(text, k + 1);
    }
    ++k;
  }
  return out;
}

std::string Count(size_t n, const std::string& one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many != nullptr ? std::string(many) : one + "s");
}

std::string LineList(const std::vector<uint32_t>& lines) {
  std::vector<uint32_t> once;
  for (uint32_t l : lines)
    if (once.empty() || once.back() != l) once.push_back(l);
  std::string text = once.size() == 1 ? "line " : "lines ";
  for (size_t k = 0; k < once.size(); ++k) {
    if (k > 0) text += k + 1 == once.size() ? " and " : ", ";
    text += std::to_string(once[k]);
  }
  return text;
}

}  // namespace zqlrc
