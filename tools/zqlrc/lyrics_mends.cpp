// SPDX-License-Identifier: MIT
#include "lyrics_mends.h"

#include <algorithm>

#include "text_lines.h"
#include "text_reading.h"

namespace zqlrc {

bool Mends::Any() const {
  if (word_tags > 0 || !wide_lines.empty()) return true;
  for (const TextFinding& f : findings)
    if (f.mended) return true;
  return false;
}

std::vector<std::string> Mends::Changes() const {
  std::vector<std::string> parts;
  if (word_tags > 0) parts.push_back("removed " + Count(word_tags, "word-timing tag"));
  if (!wide_lines.empty()) {
    parts.push_back("dropped " + Count(wide_lines.size(), "character") + " beyond 16 bits (" + LineList(wide_lines) +
                    ")");
  }
  const struct {
    TextIssue issue;
    const char* what;
  } kinds[] = {
      {TextIssue::kSyllableTags, "removed syllable time tags"},
      {TextIssue::kLostBreak, "broke lines where a time tag follows their text"},
      {TextIssue::kTagBlank, "removed blanks inside time tags"},
      {TextIssue::kNegativeTime, "read negative times as 0"},
      {TextIssue::kLongFraction, "cut time fractions to three digits"},
      {TextIssue::kIdCase, "lower-cased ID tag keys"},
      {TextIssue::kEmptyTag, "dropped lines of an empty tag"},
      {TextIssue::kSameTime, "joined lines that share their times"},
      {TextIssue::kSameText, "gave lines of identical text one line"},
  };
  for (const auto& kind : kinds) {
    std::vector<uint32_t> lines;
    for (const TextFinding& f : findings)
      if (f.mended && f.issue == kind.issue) lines.push_back(f.line);
    if (lines.empty()) continue;
    std::string where =
        LineList(std::vector<uint32_t>(lines.begin(), lines.begin() + (long)std::min<size_t>(lines.size(), 3)));
    parts.push_back(std::string(kind.what) + " (" + where + (lines.size() > 3 ? ", ..." : "") + ")");
  }
  return parts;
}

std::u32string MendText(const std::u32string& text, Mends* mends, const MendOptions& options) {
  *mends = Mends();
  std::vector<TextLine> lines;
  uint32_t number = 1;
  for (size_t start = 0; start < text.size();) {
    size_t stop = start;
    while (stop < text.size() && text[stop] != U'\r' && text[stop] != U'\n') ++stop;
    size_t after = stop;
    if (after < text.size())
      after += text[after] == U'\r' && after + 1 < text.size() && text[after + 1] == U'\n' ? 2 : 1;
    MendLine(text.substr(start, stop - start), text.substr(stop, after - stop), number++, &lines, mends);
    start = after;
  }
  FitLines(&lines, options, mends);
  std::u32string out;
  out.reserve(text.size());
  for (const TextLine& line : lines) {
    for (const std::u32string& tag : line.time_tags) out += tag;
    out += line.text;
    out += line.end;
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
