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
};

struct LintReport {
  uint32_t lines_total = 0;  // timed lines in the whole file
  uint32_t times_total = 0;  // time tags in the whole file
  uint32_t lines_kept = 0;   // what the phone keeps
  uint32_t times_kept = 0;
  uint32_t limit_line = 0;  // where the limits end the phone's reading; 0 = they do not
  std::vector<Finding> findings;
};

// `units` is the converter's output, U+FEFF first.
LintReport Lint(const std::u16string& units);

}  // namespace zqlrc
