// SPDX-License-Identifier: MIT
// The launcher's side of the media table (media_table.h): the start track's
// folder probed on the host with the FFmpeg probe zqsim uses.
#pragma once

#include <string>

namespace zqbox {

// Probes every audio file (*.mp3, *.m4a, any case) of the folder
// root/folder and writes the table to `table_path`; false with a reason when
// the folder cannot be read or the table written.
bool WriteMediaTable(const std::string& root, const std::string& folder, const std::string& table_path,
                     std::string* error);

}  // namespace zqbox
