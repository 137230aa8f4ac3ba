// SPDX-License-Identifier: MIT
// The mends of one line: its leading tags, word-timing tags and time tags
// inside its text (the rules are in lyrics_mends.h).
#include <algorithm>

#include "readable_text.h"
#include "text_lines.h"

namespace zqlrc {

namespace {

bool IsDigit(char32_t c) {
  return c >= U'0' && c <= U'9';
}
bool IsBlank(char32_t c) {
  return c == U' ' || c == U'\t' || c == 0x3000;
}
// Text without blanks between its words: Chinese, Japanese, Korean.
bool IsCjk(char32_t c) {
  return c >= 0x2E80;
}

size_t SkipDigits(const std::u32string& text, size_t k) {
  while (k < text.size() && IsDigit(text[k])) ++k;
  return k;
}

// The length of a word-timing tag "<" digits ":" digits ["." digits] ">" at
// `k`, or 0 when there is none.
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

uint32_t Number(const std::u32string& text, size_t from, size_t to) {
  uint64_t value = 0;
  for (size_t k = from; k < to; ++k) value = std::min<uint64_t>(value * 10 + (text[k] - U'0'), 0xFFFFFFFFu);
  return (uint32_t)value;
}

// The time of "m:s[.f]" without blanks; false when `body` is not of that
// form. *negative when a field carries a minus sign.
bool ParseTime(const std::u32string& body, uint32_t* ms, bool* negative, size_t* fraction_digits) {
  size_t k = 0;
  *negative = false;
  if (k < body.size() && body[k] == U'-') *negative = true, ++k;
  size_t minutes = SkipDigits(body, k);
  if (minutes == k || minutes >= body.size() || body[minutes] != U':') return false;
  k = minutes + 1;
  if (k < body.size() && body[k] == U'-') *negative = true, ++k;
  size_t seconds = SkipDigits(body, k);
  uint64_t time = (uint64_t)Number(body, *negative && body[0] == U'-' ? 1 : 0, minutes) * 60000 +
                  (uint64_t)Number(body, k, seconds) * 1000;
  *fraction_digits = 0;
  if (seconds < body.size()) {
    if (body[seconds] != U'.') return false;
    size_t end = SkipDigits(body, seconds + 1);
    if (end != body.size()) return false;
    *fraction_digits = end - seconds - 1;
    const uint32_t scale[] = {100, 10, 1};
    for (size_t d = 0; d < 3 && d < *fraction_digits; ++d) time += (body[seconds + 1 + d] - U'0') * scale[d];
  }
  *ms = *negative ? 0 : (uint32_t)std::min<uint64_t>(time, 0xFFFFFFFFu);
  return true;
}

void Note(Mends* mends, uint32_t line, TextIssue issue, bool mended, const std::string& text) {
  mends->findings.push_back({line, issue, mended, text});
}

bool IsIdKey(const std::u32string& key) {
  return key == U"ti" || key == U"ar" || key == U"al" || key == U"by" || key == U"offset";
}

// Reads the leading tags of `line` into *out; returns where its text starts.
size_t LeadingTags(const std::u32string& line, uint32_t number, TextLine* out, Mends* mends, bool* drop) {
  size_t k = 0;
  while (k < line.size() && line[k] == U'[') {
    size_t close = line.find(U']', k);
    size_t open = line.find(U'[', k + 1);
    if (close == std::u32string::npos || (open != std::u32string::npos && open < close)) break;
    std::u32string body = line.substr(k + 1, close - k - 1), bare;
    for (char32_t c : body)
      if (!IsBlank(c)) bare.push_back(c);
    std::u32string tag = line.substr(k, close + 1 - k);
    uint32_t ms = 0;
    bool negative = false;
    size_t fraction = 0;
    if (bare.empty()) {
      // "[]" on a line of its own is nothing the author meant.
      *drop = k == 0 && std::all_of(line.begin() + (long)close + 1, line.end(), IsBlank);
      if (*drop) Note(mends, number, TextIssue::kEmptyTag, true, "an empty tag \"[]\" on a line of its own: dropped");
      break;
    }
    if (ParseTime(bare, &ms, &negative, &fraction)) {
      std::u32string mended = bare;
      if (negative) {
        mended = U"00:00.00";
        Note(mends, number, TextIssue::kNegativeTime, true,
             "time tag " + Readable(tag) + " is negative (the phone shows it as text): read as 0, [00:00.00]");
      } else if (fraction > 3) {
        mended.resize(mended.size() - (fraction - 3));
        Note(mends, number, TextIssue::kLongFraction, true,
             "time tag " + Readable(tag) +
                 " has more than three digits after the point (the phone shows \"]\"): cut to three");
      }
      if (bare.size() != body.size() && !negative) {
        Note(mends, number, TextIssue::kTagBlank, true,
             "time tag " + Readable(tag) +
                 " has a blank inside (the phone shows \"]\" or drops the line): blanks removed");
      }
      out->time_tags.push_back(U"[" + mended + U"]");
      out->times.push_back(ms);
      k = close + 1;
      continue;
    }
    if (IsDigit(bare[0]) || bare[0] == U'-') {
      Note(mends, number, TextIssue::kBadTime, false,
           "time tag " + Readable(tag) +
               (bare.find(U':') == std::u32string::npos
                    ? " has no ':' after its minutes: the phone refuses the whole file"
                    : " is not of the form [mm:ss.xx]: the phone shows part of it as text") +
               "; fix cannot tell what time was meant");
      break;
    }
    size_t colon = body.find(U':');
    if (out->time_tags.empty() && colon != std::u32string::npos) {
      std::u32string key = body.substr(0, colon), lower = key;
      for (char32_t& c : lower)
        if (c >= U'A' && c <= U'Z') c += U'a' - U'A';
      if (IsIdKey(lower) && lower != key) {
        Note(mends, number, TextIssue::kIdCase, true,
             "tag " + Quote(line, k) + " has its key in other letters (the phone ignores it): written [" +
                 Readable(lower) + ":");
        std::u32string rest = line.substr(k + 1 + colon);
        out->text = U"[" + lower + rest;
        return line.size();
      }
    }
    break;
  }
  return k;
}

struct Run {
  size_t begin, end;  // in the text
  size_t tags;
};

enum class Piece : uint8_t { kWord, kLine, kUnsure };

// What the piece of text before `run` is: one word, a whole line, or neither.
Piece Classify(const std::u32string& text, size_t from, const Run& run) {
  size_t b = from, e = run.begin;
  bool blank_before = e > b && IsBlank(text[e - 1]);
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  if (b == e) return Piece::kUnsure;
  bool inner_blank = std::any_of(text.begin() + (long)b, text.begin() + (long)e, IsBlank);
  bool cjk = std::any_of(text.begin() + (long)b, text.begin() + (long)e, IsCjk);
  size_t length = e - b;
  bool blank_after = run.end >= text.size() || IsBlank(text[run.end]);
  if (!inner_blank && run.tags == 1 && (cjk ? length <= 2 : blank_before || blank_after)) return Piece::kWord;
  if (!blank_before && (inner_blank || (cjk && length >= 3))) return Piece::kLine;
  return Piece::kUnsure;
}

// Time tags inside the text of a timed line: removed, split off, or reported.
void InlineTags(TextLine line, std::vector<TextLine>* out, Mends* mends) {
  const std::u32string& text = line.text;
  std::vector<Run> runs;
  for (size_t k = 0; k < text.size(); ++k) {
    uint32_t ms;
    size_t length = TimeTagAt(text, k, &ms);
    if (length == 0) continue;
    if (!runs.empty() && runs.back().end == k) {
      runs.back().end += length, ++runs.back().tags;
    } else {
      runs.push_back({k, k + length, 1});
    }
    k += length - 1;
  }
  if (runs.empty()) {
    out->push_back(std::move(line));
    return;
  }
  size_t words = 0, lines = 0, tags = 0;
  for (size_t r = 0; r < runs.size(); ++r) {
    Piece piece = Classify(text, r == 0 ? 0 : runs[r - 1].end, runs[r]);
    words += piece == Piece::kWord, lines += piece == Piece::kLine, tags += runs[r].tags;
  }
  std::string count = Count(tags, "time tag");
  if (words == runs.size()) {
    std::u32string kept;
    size_t from = 0;
    for (const Run& run : runs) kept += text.substr(from, run.begin - from), from = run.end;
    line.text = kept + text.substr(from);
    Note(mends, line.number, TextIssue::kSyllableTags, true,
         count + " inside the text marking syllables (the phone shows them as text): removed");
    out->push_back(std::move(line));
  } else if (lines == runs.size()) {
    Note(mends, line.number, TextIssue::kLostBreak, true,
         count + " inside the text where a line break was lost (the phone shows them as text): each starts a new line");
    std::u32string end = line.end.empty() ? U"\n" : line.end;
    TextLine first = line;
    first.text = text.substr(0, runs[0].begin);
    first.end = end;
    out->push_back(first);
    for (size_t r = 0; r < runs.size(); ++r) {
      TextLine next;
      next.number = line.number;
      for (size_t k = runs[r].begin; k < runs[r].end;) {
        uint32_t ms = 0;
        size_t length = TimeTagAt(text, k, &ms);
        next.time_tags.push_back(text.substr(k, length));
        next.times.push_back(ms);
        k += length;
      }
      size_t stop = r + 1 < runs.size() ? runs[r + 1].begin : text.size();
      next.text = text.substr(runs[r].end, stop - runs[r].end);
      next.end = r + 1 < runs.size() ? end : line.end;
      out->push_back(std::move(next));
    }
  } else {
    Note(mends, line.number, TextIssue::kInlineUnsure, false,
         count + " inside the text, as at " + Quote(text, runs[0].begin) +
             ": the phone shows such tags as text; fix cannot tell syllable timing from a lost line break here");
    out->push_back(std::move(line));
  }
}

}  // namespace

size_t TimeTagAt(const std::u32string& text, size_t k, uint32_t* ms) {
  if (k + 1 >= text.size() || text[k] != U'[' || !IsDigit(text[k + 1])) return 0;
  size_t close = text.find(U']', k);
  if (close == std::u32string::npos || close - k > 16) return 0;
  bool negative = false;
  size_t fraction = 0;
  std::u32string body = text.substr(k + 1, close - k - 1);
  if (!ParseTime(body, ms, &negative, &fraction) || negative || fraction > 3) return 0;
  return close + 1 - k;
}

void MendLine(const std::u32string& line, const std::u32string& end, uint32_t number, std::vector<TextLine>* out,
              Mends* mends) {
  TextLine mended;
  mended.number = number;
  mended.end = end;
  std::u32string narrow;
  for (char32_t c : line) {
    if (c > 0xFFFF) {
      mends->wide_lines.push_back(number);
    } else {
      narrow.push_back(c);
    }
  }
  bool drop = false;
  size_t start = LeadingTags(narrow, number, &mended, mends, &drop);
  if (drop) return;
  if (!mended.text.empty() || !mended.Timed()) {
    if (mended.text.empty()) mended.text = narrow;
    mended.time_tags.clear();
    mended.times.clear();
    out->push_back(std::move(mended));
    return;
  }
  // Word-timing tags belong to the text of timed lines only.
  for (size_t k = start; k < narrow.size();) {
    size_t tag = WordTagAt(narrow, k);
    if (tag > 0) {
      if (mends->word_tags++ == 0) mends->word_tag_line = number;
      k += tag;
      continue;
    }
    mended.text.push_back(narrow[k++]);
  }
  InlineTags(std::move(mended), out, mends);
}

}  // namespace zqlrc
