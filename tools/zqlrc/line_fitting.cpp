// SPDX-License-Identifier: MIT
// Fitting a file into the phone's limits without losing a line: lines of
// identical text share one line, and lines that share their times (a line
// and its translation) are joined when asked.
#include <map>

#include "text_lines.h"

namespace zqlrc {

namespace {

const std::u32string kJoin = U" / ";

uint32_t TimedLines(const std::vector<TextLine>& lines) {
  uint32_t count = 0;
  for (const TextLine& line : lines) count += line.Timed();
  return count;
}

// Indexes of the timed lines whose times are those of the timed line just
// before them.
std::vector<size_t> SameTimes(const std::vector<TextLine>& lines) {
  std::vector<size_t> found;
  for (size_t k = 1; k < lines.size(); ++k) {
    if (lines[k].Timed() && lines[k - 1].Timed() && lines[k].times == lines[k - 1].times) found.push_back(k);
  }
  return found;
}

void JoinSameTimes(std::vector<TextLine>* lines, Mends* mends) {
  std::vector<size_t> same = SameTimes(*lines);
  if (same.empty()) return;
  mends->findings.push_back({(*lines)[same[0]].number, TextIssue::kSameTime, true,
                             Count(same.size(), "line") + " share their times with the line before (a line and its "
                                                          "translation): joined to it with \" / \""});
  std::vector<TextLine> kept;
  std::vector<uint32_t> before;  // the times of the line before, as it was
  for (TextLine& line : *lines) {
    bool joins = !kept.empty() && kept.back().Timed() && line.Timed() && before == line.times;
    before = line.times;
    if (joins) {
      kept.back().text += kJoin + line.text;
      kept.back().end = line.end;
    } else {
      kept.push_back(std::move(line));
    }
  }
  *lines = std::move(kept);
}

void MergeSameText(std::vector<TextLine>* lines, Mends* mends) {
  std::map<std::u32string, size_t> first;  // text -> index in `kept`
  std::vector<TextLine> kept;
  size_t merged = 0;
  uint32_t first_line = 0;
  for (TextLine& line : *lines) {
    if (line.Timed()) {
      auto found = first.find(line.text);
      if (found != first.end()) {
        TextLine& into = kept[found->second];
        into.time_tags.insert(into.time_tags.end(), line.time_tags.begin(), line.time_tags.end());
        into.times.insert(into.times.end(), line.times.begin(), line.times.end());
        if (merged++ == 0) first_line = line.number;
        continue;
      }
      first.emplace(line.text, kept.size());
    }
    kept.push_back(std::move(line));
  }
  if (merged == 0) return;
  *lines = std::move(kept);
  mends->findings.push_back(
      {first_line, TextIssue::kSameText, true,
       Count(merged, "line") + " repeat the text of an earlier line, and the file has more than " +
           std::to_string(kPhoneLines) + " lines: each text becomes one line with all its times"});
}

}  // namespace

void FitLines(std::vector<TextLine>* lines, const MendOptions& options, Mends* mends) {
  if (options.join_same_time) JoinSameTimes(lines, mends);
  if (TimedLines(*lines) > kPhoneLines) MergeSameText(lines, mends);
  if (options.join_same_time || TimedLines(*lines) <= kPhoneLines) return;
  std::vector<size_t> same = SameTimes(*lines);
  if (same.empty()) return;
  mends->findings.push_back({(*lines)[same[0]].number, TextIssue::kSameTime, false,
                             Count(same.size(), "line") + " share their times with the line before (a line and its "
                                                          "translation): zqlrc fix --join-same-time joins them"});
}

}  // namespace zqlrc
