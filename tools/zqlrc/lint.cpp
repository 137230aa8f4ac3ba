// SPDX-License-Identifier: MIT
#include "lint.h"

#include <stdio.h>

#include "readable_text.h"

namespace zqlrc {

namespace {

constexpr uint32_t kMaxTimes = 200;
constexpr uint32_t kMaxLines = 100;
constexpr size_t kQuoteUnits = 24;

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool IsLineEnd(char16_t c) {
  return c == 0x0D || c == 0x0A;
}

class Reader {
 public:
  explicit Reader(const std::u16string& w) : w_(w), n_(w.size()) {
    // Line numbers as an editor counts them: CR LF, LF and a lone CR each end a line.
    line_of_.resize(n_ + 1);
    uint32_t line = 1;
    for (size_t k = 0; k <= n_; ++k) {
      line_of_[k] = line;
      if (k < n_ && (w_[k] == 0x0A || (w_[k] == 0x0D && (k + 1 >= n_ || w_[k + 1] != 0x0A)))) ++line;
    }
  }

  LintReport Run() {
    i_ = 1;
    while (i_ < n_) {
      if (w_[i_] != u'[') {
        SkipToBracket();
      } else if (i_ + 1 < n_ && IsDigit(w_[i_ + 1])) {
        if (!TaggedLine()) break;
      } else if (!IdTag()) {
        break;
      }
    }
    return report_;
  }

 private:
  bool Key(const char16_t* key) const {
    size_t len = std::char_traits<char16_t>::length(key);
    return i_ + len <= n_ && w_.compare(i_, len, key) == 0;
  }
  void SkipToBracket() {
    while (i_ < n_ && w_[i_] != u'[') ++i_;
  }
  void SkipBlanks() {
    while (i_ < n_ && (IsLineEnd(w_[i_]) || w_[i_] == u' ')) ++i_;
  }
  std::string Quote(size_t from) const {
    size_t end = from;
    while (end < n_ && end - from < kQuoteUnits && !IsLineEnd(w_[end])) ++end;
    // Appended piece by piece: gcc 12 takes a text put before a temporary
    // string for an overlapping copy and warns.
    std::string quoted = "\"";
    quoted += Readable(w_.data() + from, end - from);
    quoted += '"';
    return quoted;
  }
  void Note(size_t at, const std::string& text, bool time_form = false) {
    std::string where = Past() ? " (past where the phone stops reading)" : "";
    report_.findings.push_back({line_of_[at], text + where, time_form});
  }
  uint32_t Number(uint32_t* value) {
    while (i_ < n_ && IsDigit(w_[i_])) *value = *value * 10 + (uint32_t)(w_[i_++] - u'0');
    return *value;
  }
  bool Past() const { return report_.limit_line != 0; }

  bool TaggedLine() {
    bool first = true;
    if (!Past() && (report_.times_kept >= kMaxTimes || report_.lines_kept >= kMaxLines)) {
      report_.limit_line = line_of_[i_];
      report_.limit_by_lines = report_.lines_kept >= kMaxLines;
    }
    while (i_ + 1 < n_ && w_[i_] == u'[' && IsDigit(w_[i_ + 1])) {
      size_t tag = i_;
      ++i_;
      uint32_t minutes = 0, seconds = 0;
      Number(&minutes);
      if (i_ >= n_ || w_[i_] != u':') {
        Note(tag, "time tag " + Quote(tag) + " has no ':' after its minutes: the phone refuses the whole file", true);
        return Past();  // past the limits the phone never sees it
      }
      ++i_;
      uint32_t ms = minutes * 60000 + Number(&seconds) * 1000;
      if (i_ < n_ && w_[i_] == u'.') {
        ++i_;
        for (uint32_t d = 0, scale = 100; d < 3 && i_ < n_ && IsDigit(w_[i_]); ++d, scale /= 10) {
          ms += (uint32_t)(w_[i_++] - u'0') * scale;
        }
      }
      ++report_.times_total;
      if (Past() && first && report_.lines_total == report_.lines_kept) report_.first_dropped_ms = ms;
      first = false;
      if (!Past()) {
        if (report_.times_kept < kMaxTimes) {
          ++report_.times_kept;
          if (ms > report_.last_kept_ms) report_.last_kept_ms = ms;
        } else {
          Note(tag, "time tag " + Quote(tag) + " is past the 200th: the phone drops it");
        }
      }
      if (i_ < n_ && w_[i_] != u']') {
        Note(tag,
             "time tag " + Quote(tag) +
                 " is not closed by ']' after its digits: the unit there is dropped and the rest shows as text; fix "
                 "cannot tell what was meant",
             true);
      }
      if (i_ < n_) ++i_;
    }
    while (i_ < n_ && !IsLineEnd(w_[i_])) ++i_;
    ++report_.lines_total;
    if (!Past()) ++report_.lines_kept;
    if (i_ < n_) ++i_;
    SkipBlanks();
    return true;
  }

  bool IdTag() {
    const char16_t* keys[] = {u"[ti:", u"[ar:", u"[al:", u"[by:", u"[offset:"};
    for (const char16_t* key : keys) {
      if (!Key(key)) continue;
      size_t tag = i_;
      size_t close = i_ + std::char_traits<char16_t>::length(key);
      while (close < n_ && w_[close] != u']') ++close;
      if (close >= n_) {
        Note(tag, "tag " + Quote(tag) +
                      " has no ']': the phone stops reading here; fix cannot tell where it was meant to end");
        return false;
      }
      i_ = close + 1;
      SkipBlanks();
      return true;
    }
    if (Key(u"[key:")) {
      Note(i_, "encrypted lyrics (a \"[key:\" tag): the phone refuses the whole file");
      if (!Past()) return false;
    }
    ++i_;
    SkipToBracket();
    return true;
  }

  const std::u16string& w_;
  size_t n_;
  size_t i_ = 1;
  std::vector<uint32_t> line_of_;
  LintReport report_;
};

}  // namespace

std::string Clock(uint32_t ms) {
  char text[32];
  snprintf(text, sizeof text, "%02u:%02u.%02u", ms / 60000, (ms / 1000) % 60, (ms % 1000) / 10);
  return text;
}

std::string LimitNote(const LintReport& lint) {
  if (lint.limit_line != 0 && lint.limit_by_lines) {
    bool one = lint.lines_total == lint.lines_kept + 1;
    return (one ? "line " + std::to_string(lint.lines_total)
                : "lines " + std::to_string(lint.lines_kept + 1) + "-" + std::to_string(lint.lines_total)) +
           " (from " + Clock(lint.first_dropped_ms) + (one ? ") is" : ") are") + " past the phone's " +
           std::to_string(kMaxLines);
  }
  if (lint.limit_line != 0 || lint.times_total > lint.times_kept) {
    std::string lines = lint.lines_total > lint.lines_kept
                            ? " (lines " + std::to_string(lint.lines_kept + 1) + "-" +
                                  std::to_string(lint.lines_total) + ", from " + Clock(lint.first_dropped_ms) + ")"
                            : "";
    return "time tags " + std::to_string(lint.times_kept + 1) + "-" + std::to_string(lint.times_total) + lines +
           " are past the phone's " + std::to_string(kMaxTimes);
  }
  return "";
}

LintReport Lint(const std::u16string& units) {
  if (units.empty()) return LintReport();
  return Reader(units).Run();
}

}  // namespace zqlrc
