// SPDX-License-Identifier: MIT
// The person's report of `zqlrc check`: what the phone makes of a lyrics
// file, the message it would show, and the problems worth fixing.
#pragma once

#include <stdint.h>

#include <string>

#include "diagnosis.h"
#include "fix_plan.h"
#include "phone_run.h"

namespace zqlrc {

struct CheckOptions {
  int64_t length_seconds = -1;  // the track's length, when known
};

// Appends the report of one file to `out`, each problem marked as `plan`
// (what zqlrc fix does with the file) has it; true when the phone would show
// its lyric lines as written (status 0, timed lines, no problem).
bool CheckReport(const std::string& name, const LoadOutcome& outcome, const std::u16string& units,
                 const Diagnosis& diagnosis, const FixPlan& plan, const CheckOptions& options, std::string* out);

}  // namespace zqlrc
