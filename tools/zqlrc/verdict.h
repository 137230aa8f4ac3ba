// SPDX-License-Identifier: MIT
// Whether the phone will show a lyrics file's lines as their author wrote
// them, and if not, why: one list of findings, each marked when zqlrc fix
// mends it, from which zqlrc check reports, zqlrc fix decides and zqlrc scan
// names the first.
#pragma once

#include <string>
#include <vector>

#include "diagnosis.h"
#include "phone_run.h"

namespace zqlrc {

struct Problem {
  std::string text;
  bool fix_mends = false;
  bool limit = false;  // one of the phone's limits: fix writes the file, the phone shows what fits
};

struct Verdict {
  bool shows = false;       // the phone loads the file and has timed lines to show
  bool as_written = false;  // and shows every one as written: no problem at all
  std::vector<Problem> problems;
  std::string limit_note;  // LimitNote() of the phone's reading, when the limits cut it
};

// `units` is the phone's conversion of the file (PhoneRun::Convert).
Verdict Judge(const LoadOutcome& outcome, const std::u16string& units, const Diagnosis& diagnosis);

// The whole judgement of bytes as the phone's parser loads them: for fix,
// and for a check of what fix writes.
Verdict JudgeBytes(const std::vector<uint8_t>& bytes, const PhoneRun& phone, const MendOptions& options);

// What the lyrics area shows for a load status other than 0.
std::string PhoneMessage(uint8_t status);

}  // namespace zqlrc
