// SPDX-License-Identifier: MIT
// Small helpers over single firmware services.
#pragma once

#include "platform/firmware.h"

uint8_t KeypadLock();    // nonzero while the keypad is locked
uint8_t WorkingTable();  // 1 when the phone's active dialog is the idle screen
// The volume type the volume keys change and the volume widget shows: its
// own type on the platform named "LTE", the default type on every other.
uint8_t VolumeType();
void p_key(uint8_t code);  // injects a press and a release of the key
// The address just after the last `sep[0]` of `s`, searched from the
// next-to-last unit down to unit 1; null when there is none.
WCHAR* SplitPath(const WCHAR* s, const WCHAR* sep);
uint32_t fReadDB(uint32_t offset);                       // one word of the feature database, or 0
void u_PFprintf(const char* format, const WCHAR* text);  // debug print
