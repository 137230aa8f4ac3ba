// SPDX-License-Identifier: MIT
// Opens audio files with FFmpeg to learn their length, the way the phone's
// media engine does before it hands out a playback object.
#pragma once

#include <stdint.h>

#include <string>

namespace zq::media {

// Length of the sound in milliseconds. False, with a reason in *error, when
// FFmpeg cannot open the file, finds no audio stream, has no decoder for it,
// or cannot decode its first frame: the engine then refuses the file.
bool ProbeLengthMs(const char* host_path, uint32_t* length_ms, std::string* error);

}  // namespace zq::media
