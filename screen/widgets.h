// SPDX-License-Identifier: MIT
// The status widgets of the upper half of the screen.
#pragma once

#include "platform/firmware.h"

void draw_name();
void draw_num();
void draw_circle_s();
void draw_time();
void draw_vol();
void draw_bar_all();
void draw_bar();
// Writes seconds as minutes and seconds ("01:05") into `out`.
uint32_t sec2min(uint32_t seconds, WCHAR* out);
