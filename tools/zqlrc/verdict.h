// SPDX-License-Identifier: MIT
// Whether the phone will show a lyrics file's lines as their author wrote
// them, and if not, why: the problems, each marked when zqlrc fix mends it.
// zqlrc check lists them all; zqlrc scan names the first.
#pragma once

#include <string>
#include <vector>

#include "diagnosis.h"
#include "phone_run.h"

namespace zqlrc {

struct Problem {
  std::string text;
  bool fix_mends = false;
};

struct Verdict {
  bool shows = false;       // the phone loads the file and has timed lines to show
  bool as_written = false;  // and shows every one as written: no problem at all
  std::vector<Problem> problems;
};

// `units` is the phone's conversion of the file (PhoneRun::Convert).
Verdict Judge(const LoadOutcome& outcome, const std::u16string& units, const Diagnosis& diagnosis);

// What the lyrics area shows for a load status other than 0.
const char* PhoneMessage(uint8_t status);

}  // namespace zqlrc
