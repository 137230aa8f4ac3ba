// SPDX-License-Identifier: MIT
// The start of a run: the image loaded and started with the start track's
// file identifier, as the phone's loader would.
#pragma once

#include <stdint.h>

#include "drive/text.h"

namespace drive {

// The event code base the loader gives the program.
constexpr uint32_t kEvcodeBase = 0x3000;

// Attach the trace before this, so that the start itself is traced. False
// with a reason when the stand-in does not see the track, the image cannot
// be loaded, or it does not register.
bool StartImage(const char* image_path, const char* start_uri, Text* error);

}  // namespace drive
