// SPDX-License-Identifier: MIT
// A run without a window: virtual time, no sound, as fast as it goes. The
// same for zqsim --headless and for the big-endian box.
#pragma once

#include <stdint.h>

#include "drive/key_script.h"
#include "drive/screen_shot.h"
#include "drive/trace.h"

namespace drive {

struct HeadlessRun {
  const char* program;    // names the front end in messages ("zqsim")
  const char* shots_dir;  // --shots DIR, or empty
  SaveScreen save;        // writes a screenshot file
};

// With a script: runs its steps and ends after the last. Without: plays the
// folder once through (until the list comes back to the first track, or the
// program ends). The image must have been started. Returns the exit status:
// 0, or 1 when a screenshot could not be saved or the list never came back.
int RunHeadless(const HeadlessRun& run, const Script* script, Trace* trace);

// Virtual time after which a play-through gives up.
constexpr uint32_t kPlayThroughLimitMs = 4u * 60 * 60 * 1000;
// A play-through takes a screenshot of each track this long after its start.
constexpr uint32_t kPlayThroughShotAfterMs = 10000;

}  // namespace drive
