// SPDX-License-Identifier: MIT
// A second reading of the converted text that goes where the phone's parser
// stops: it counts every timed line and time tag of the file, notes where the
// phone's limits end its reading, and finds tags worth fixing, with their
// line numbers. The status and record shown to the user always come from the
// phone's own code; this reading only explains them.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace zqlrc {

struct Finding {
  uint32_t line;  // 1-based line of the file
  std::string text;
  bool time_form = false;  // the form of a time tag (zqlrc's own reading of the text tells these too)
};

struct LintReport {
  uint32_t lines_total = 0;  // timed lines in the whole file
  uint32_t times_total = 0;  // time tags in the whole file
  uint32_t lines_kept = 0;   // what the phone keeps
  uint32_t times_kept = 0;
  uint32_t limit_line = 0;        // where the limits end the phone's reading; 0 = they do not
  bool limit_by_lines = false;    // the 100 lines end it (else the 200 time tags)
  uint32_t first_dropped_ms = 0;  // the first time of the first line the phone drops
  uint32_t last_kept_ms = 0;      // the latest time the phone keeps
  std::vector<Finding> findings;
};

// What the limits keep from the phone, for a person: "lines 101-162 (from
// 03:05) are past the phone's 100"; empty when the phone takes it all.
std::string LimitNote(const LintReport& lint);

// 03:05.20 for a person.
std::string Clock(uint32_t ms);

// `units` is the converter's output, U+FEFF first.
LintReport Lint(const std::u16string& units);

}  // namespace zqlrc
