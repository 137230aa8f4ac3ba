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

// Why the image file `path` that --image names is not there: a build not
// made, a file given by path that is missing, or a name that is none of the
// four builds (whose files end in `suffix`).
std::string MissingImageProblem(const Options& options, const std::string& path, const char* suffix);

// What a launcher (zqbox, zqweb) checks and makes once its image is found:
// the GB2312 table (into *map), the screenshots' folder, the phone's file
// system (with the notes on its folder). False with a reason; *bad_input
// tells whether the fault lies in what was asked for.
bool PrepareLaunch(const Options& options, const char* program, const std::string& default_map, std::string* map,
                   PhoneFs* fs, std::string* error, bool* bad_input);

// A new temporary folder TMPDIR/PROGRAM.XXXXXX; "" with a reason when none
// can be made.
std::string MakeTempFolder(const char* program, std::string* error);

}  // namespace zqsim
