// SPDX-License-Identifier: MIT
// What zqsim and zqbox check alike before a run starts, so that a mistake in
// what was asked for is one line and exit status 2 before anything runs, and
// the notes on a folder whose tracks the phone's limits leave out.
#pragma once

#include <stddef.h>

#include <string>
#include <vector>

#include "tools/zqsim/options.h"
#include "tools/zqsim/phone_fs.h"

namespace zqsim {

// The GB2312 table for the run: --gb2uc FILE, which must be the 15228-byte
// table, else the build's own (`default_map`), which is only looked for.
// False with a reason when the table given is not one.
bool ChooseGb2uc(const Options& options, const std::string& default_map, std::string* map, std::string* error);

// Why screenshots cannot be written into `dir` (made if need be), or "" when
// they can, or when no folder is given.
std::string ShotsProblem(const std::string& dir);

// Notes on a folder's audio files (names in UTF-8, in a folder whose URI has
// `folder_units` units with its final "/"): how many of them the phone's
// limits leave out of the track list. Empty when all are listed.
std::vector<std::string> FolderLimitNotes(const std::vector<std::string>& names, size_t folder_units,
                                          const char* program = "zqsim");

// Writes those notes for the start track's folder to stderr, one line each.
void NoteFolderLimits(const PhoneFs& fs, const char* program);

}  // namespace zqsim
