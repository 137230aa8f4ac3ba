// zqsim with a display: the phone's screen in an SDL2 window, its state
// beside it, the keyboard as the phone's keys and the tracks' real sound.
#pragma once

#include <vector>

#include "tools/zqsim/key_script.h"
#include "tools/zqsim/options.h"
#include "tools/zqsim/session.h"
#include "tools/zqsim/trace.h"

namespace zqsim {

// True when a display seems to be there (DISPLAY or WAYLAND_DISPLAY set).
bool display_available();

// Runs the window until it is closed, the program unloads, or the script
// (when given; its waits follow the window's clock) has run. Falls back to
// a headless run when SDL cannot open a window. Returns the exit status.
int run_window(const Options& options, const std::vector<Step>* steps, Trace* trace, Session& session);

}  // namespace zqsim
