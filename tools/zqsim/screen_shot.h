// What the phone's display shows, and screenshots of it.
#pragma once

#include <stdint.h>

#include <string>

#include "tools/zqsim/trace.h"

namespace zqsim {

// True while the player's screen is not what the phone shows: no canvas,
// no shell, or a voice call in front of it.
bool player_screen_hidden();

// Paints the phone's own screen (idle, another application, the call) into
// the framebuffer while the player's screen is hidden; otherwise nothing.
void show_phone_screen_if_hidden();

// Brings the framebuffer up to date, writes "shot NAME CRC" to the trace and,
// when `dir` is set, the PNG file DIR/NAME.png. False with a reason when the
// file cannot be written (the trace line is written all the same).
bool take_shot(const std::string& dir, const std::string& name, Trace* trace, std::string* error);

// The name of the next screenshot the F12 key saves into `dir`: "zqsim-N"
// with N one past the highest N of the zqsim-N.png files already there, so
// that screenshots of earlier runs are kept.
std::string next_key_shot_name(const std::string& dir);

// Makes a name fit for a file: letters, digits, "_", "-", "." and UTF-8
// (non-ASCII) characters kept, the rest replaced by "_".
std::string file_safe(const std::string& name);

}  // namespace zqsim
