// SPDX-License-Identifier: MIT
// The four builds of the program, by the names their images carry (the blue
// theme or the colour wheel, with the GB2312 table from its file or from
// firmware memory): the names every front end, script and test goes by.
#pragma once

#include <stddef.h>

#include "drive/text.h"

namespace drive {

constexpr const char* kImageNames[] = {"zq_player_blue", "zq_player_blue_patch", "zq_player", "zq_player_patch"};
constexpr size_t kImageCount = sizeof kImageNames / sizeof kImageNames[0];

// True when `name`, less the ending `suffix` (".so", ".elf", ".wasm") when it
// has that ending, is one of the four.
bool IsImageName(const char* name, const char* suffix);

// Appends the four names, separated by ", ".
void AppendImageNames(Text* out);

}  // namespace drive
