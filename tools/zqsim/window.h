// SPDX-License-Identifier: MIT
// zqsim with a display: the phone's screen in an SDL2 window, its state
// beside it, the keyboard as the phone's keys and the tracks' real sound.
#pragma once

#include "drive/key_script.h"
#include "drive/trace.h"
#include "tools/zqsim/options.h"
#include "tools/zqsim/phone_body.h"
#include "tools/zqsim/session.h"

namespace zqsim {

// Where things lie in the window for a screen scale: the phone (its body
// with the screen and the keys) on the left, vertically centred, the panel
// on its right. The panel is drawn at panel_width x panel_height and shown
// `panel_zoom` times as large, so that its text keeps up with a large screen.
struct WindowLayout {
  int width, height;  // the window
  PhoneBody phone;    // in the phone's own coordinates
  int phone_y;        // where the phone's part begins; it spans phone.width
  int screen_x, screen_y, screen_w, screen_h;
  int panel_x, panel_width, panel_height, panel_zoom;
};
WindowLayout MakeWindowLayout(int scale);

// True when a display seems to be there (DISPLAY or WAYLAND_DISPLAY set).
bool DisplayAvailable();

// Runs the window until it is closed, the program unloads, or the script
// (when given; its waits follow the window's clock) has run. Falls back to
// a headless run when SDL cannot open a window. Returns the exit status.
int RunWindow(const Options& options, const drive::Script* script, drive::Trace* trace, Session& session);

}  // namespace zqsim
