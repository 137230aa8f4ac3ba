// SPDX-License-Identifier: MIT
// Files in and out for zqlrc: a file read whole, and files written so that a
// failure half way leaves nothing half written: the bytes go to a temporary
// file beside the target, which takes the target's name only when whole.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace zqlrc {

// The whole of a regular file; false with a message when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error);

enum class NewFile : uint8_t { kWritten, kAlreadyThere, kExists, kFailed };

// Writes a new file. A file already at `path` is never replaced: kAlreadyThere
// when it holds these very bytes, kExists otherwise. kFailed with a message
// when the write fails; nothing is left behind then.
NewFile WriteNewFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);

// Replaces the file at `path` (through a link, the file it names), keeping its
// permissions. On a failure it stays as it was, and false with a message.
bool ReplaceFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);

}  // namespace zqlrc
