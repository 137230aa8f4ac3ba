// SPDX-License-Identifier: MIT
// zqlrc scan: for every track the player lists in a music folder, the lyrics
// file the phone opens and its verdict in one line, then a summary line.
#pragma once

#include <string>

#include "phone_run.h"

namespace zqlrc {

// Exit 0 when there are tracks and every one shows its lyrics as written,
// 1 otherwise, 2 when the folders cannot be read.
int RunScan(const std::string& music_dir, const std::string& lyrics_dir, PhoneRun& phone);

}  // namespace zqlrc
