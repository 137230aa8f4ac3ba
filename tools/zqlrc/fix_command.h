// SPDX-License-Identifier: MIT
// zqlrc fix over a list of files: one report line per file on stdout.
#pragma once

#include <string>
#include <vector>

#include "fix_plan.h"
#include "phone_run.h"

namespace zqlrc {

enum class FixOutput : uint8_t {
  kReport,   // write nothing, say what would be done
  kFolder,   // new files in a folder; files already right are copied
  kInPlace,  // each changed file replaced
};

struct FixCommand {
  FixOptions options;
  FixOutput output = FixOutput::kReport;
  std::string folder;  // kFolder
};

// Exit 0 when every file is right (fixed, or already so), 1 when fix refused
// any (nothing written for it), 2 when a file could not be read or written.
int RunFix(const std::vector<std::string>& files, const FixCommand& command, const PhoneRun& phone);

}  // namespace zqlrc
