// SPDX-License-Identifier: MIT
// What zqlrc fix does with one lyrics file: keep it (nothing in it that fix
// mends), write it anew (in another encoding, with the mends of
// lyrics_mends.h), or refuse it (it does not read, its encoding is not clear,
// or the phone could not take it even after the change). The decision comes
// from the same findings zqlrc check reports.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "lyrics_mends.h"
#include "phone_run.h"
#include "text_writing.h"

namespace zqlrc {

struct FixOptions {
  std::string from;  // the encoding to read with, or empty for the rules
  bool has_target = false;
  Target target = Target::kUtf8;  // what a changed file is written in
  MendOptions mend;
};

enum class FixAction : uint8_t { kKeep, kWrite, kRefuse };

struct FixPlan {
  FixAction action = FixAction::kRefuse;
  std::vector<uint8_t> bytes;  // the file's own bytes (kKeep) or the new ones (kWrite)
  std::string what;            // for a person: why it stays, the changes, or the refusal
  std::string reason;          // kRefuse: the kind of refusal, for a summary ("encrypted")
  bool left = false;           // problems stay that fix cannot mend (beyond the phone's limits)
};

// `options.from` must be an encoding the C library knows.
FixPlan PlanFix(const std::vector<uint8_t>& bytes, const FixOptions& options, const PhoneRun& phone);

}  // namespace zqlrc
