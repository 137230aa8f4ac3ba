// SPDX-License-Identifier: MIT
// zqweb fix: zqlrc fix's command line, run by the page's own zqlrc in
// headless Chromium, so that what the page writes for a person can be
// compared with what zqlrc writes.
#pragma once

#include "tools/zqweb/launch.h"

namespace zqweb {

// argv[1] is "fix". Returns zqlrc fix's exit status (2 for a bad command
// line, as zqlrc's).
int RunFixCommand(int argc, char** argv, const Defaults& defaults);

}  // namespace zqweb
