// SPDX-License-Identifier: MIT
// The lyrics area: rows 100 to 199.
#pragma once

#include "platform/firmware.h"

void draw_lrc_info();  // the load message, or the four tags
void draw_lrc();       // the line of the playing position and the next one

namespace screen {

// pos_lrc while the area shows the tags or a message instead of a line.
constexpr uint16_t kNoLineOnScreen = 0xFFFF;

}  // namespace screen
