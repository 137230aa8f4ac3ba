// SPDX-License-Identifier: MIT
// zqlrc's command line: the commands, their options, and the help text.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "check_report.h"
#include "fix_command.h"

namespace zqlrc {

struct Args {
  std::string command;  // dump, check, fix, scan
  std::vector<std::string> files;
  std::string table = ZQLRC_DEFAULT_TABLE;
  bool patch = false;
  CheckOptions check;
  FixCommand fix;
  std::string lyrics_dir;  // scan --lrc
};

// The whole help text, ending in a newline.
const char* UsageText();

// False with a one-line reason for a bad command line. *help is set for
// -h or --help (nothing else is then read).
bool ParseArgs(int argc, char** argv, Args* args, bool* help, std::string* problem);

}  // namespace zqlrc
