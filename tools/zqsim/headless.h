// Runs zqsim without a window: virtual time, no sound, as fast as it goes.
#pragma once

#include <vector>

#include "tools/zqsim/key_script.h"
#include "tools/zqsim/options.h"
#include "tools/zqsim/trace.h"

namespace zqsim {

// With steps: runs them and ends after the last. Without: plays the folder
// once through (until the list comes back to the first track, or the
// program ends). The image must have been started. Returns the exit status.
int run_headless(const Options& options, const std::vector<Step>* steps, Trace* trace);

// Virtual time after which a play-through gives up.
constexpr uint32_t kPlayThroughLimitMs = 4u * 60 * 60 * 1000;
// A play-through takes a screenshot of each track this long after its start.
constexpr uint32_t kPlayThroughShotAfterMs = 10000;

}  // namespace zqsim
