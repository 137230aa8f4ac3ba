// SPDX-License-Identifier: MIT
// What zqlrc fix does with one lyrics file: keep it (the phone already reads
// it as written), write it anew (in another encoding, without word-timing
// tags, without characters beyond 16 bits), or refuse it (it does not read,
// or the phone could not take it even after the change).
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "phone_run.h"
#include "text_writing.h"

namespace zqlrc {

struct FixOptions {
  std::string from;  // the encoding to read with, or empty for the rules
  bool has_target = false;
  Target target = Target::kUtf8;  // what a changed file is written in
};

enum class FixAction : uint8_t { kKeep, kWrite, kRefuse };

struct FixPlan {
  FixAction action = FixAction::kRefuse;
  std::vector<uint8_t> bytes;  // the file's own bytes (kKeep) or the new ones (kWrite)
  std::string what;            // for a person: why it stays, the changes, or the refusal
};

// `options.from` must be an encoding the C library knows.
FixPlan PlanFix(const std::vector<uint8_t>& bytes, const FixOptions& options, const PhoneRun& phone);

}  // namespace zqlrc
