// SPDX-License-Identifier: MIT
// The changes of the text itself that zqlrc fix makes, and that zqlrc check
// reports, each as a finding with its line and whether fix mends it:
// - word-timing tags (<mm:ss.xx> inside a timed line) are removed, the words kept;
// - characters beyond U+FFFF (emoji), which the phone's 16-bit text cannot
//   hold, are dropped;
// - time tags inside the text of a timed line are read by one rule: when
//   every piece of text that such a tag ends is one word (no blank inside;
//   a tag beside a blank in text with blanks between words, and at most two
//   characters in text without them, as Chinese and Japanese), they are
//   syllable timing and are removed; when every piece is a whole line (a
//   blank inside, or three characters or more of text without blanks) and
//   the tag follows it directly, a line break was lost there and the tag
//   starts a new line; anything else stays and is reported;
// - malformed tags: blanks inside a time tag are removed, a negative time is
//   read as 0, more than three digits of a fraction are cut to three, the
//   key of an ID tag in another letter case is lower-cased, and lines of an
//   empty "[]" are dropped; a time tag without its ':' stays (reported);
// - over the phone's limits (100 lines, 200 time tags): lines of identical
//   text become one line with all their time tags, and, when asked, lines
//   that share their times (a line and its translation) are joined.
// Every other time tag, ID tag and line end stays where it was.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace zqlrc {

enum class TextIssue : uint8_t {
  kWordTags,
  kWide,
  kSyllableTags,
  kLostBreak,
  kInlineUnsure,
  kTagBlank,
  kNegativeTime,
  kLongFraction,
  kIdCase,
  kEmptyTag,
  kBadTime,
  kSameText,
  kSameTime,
};

struct TextFinding {
  uint32_t line = 0;  // 1-based line of the author's text
  TextIssue issue = TextIssue::kWordTags;
  bool mended = false;  // fix changes it
  std::string text;     // for a person, without the line number
};

struct MendOptions {
  bool join_same_time = false;  // join lines that share their times
};

struct Mends {
  uint32_t word_tags = 0;            // word-timing tags removed
  uint32_t word_tag_line = 0;        // the line of the first one
  std::vector<uint32_t> wide_lines;  // the line of each character dropped
  std::vector<TextFinding> findings;
  bool Any() const;  // something is changed
  // What was changed, for fix's line: "removed 3 word-timing tags, ...".
  std::vector<std::string> Changes() const;
};

// The text with the mends made; what was made, and what could not be, go to *mends.
std::u32string MendText(const std::u32string& text, Mends* mends, const MendOptions& options = MendOptions());

// "1 character", "2 characters": a count and its noun for a person; `many`
// when the plural is not the noun and an "s".
std::string Count(size_t n, const std::string& one, const char* many = nullptr);

// "lines 3, 7 and 9" for a person, each line once.
std::string LineList(const std::vector<uint32_t>& lines);

}  // namespace zqlrc
