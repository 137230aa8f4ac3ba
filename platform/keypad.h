// SPDX-License-Identifier: MIT
// Keypad: key injection and the feature database (keypad lock).
#pragma once

#include "platform/types.h"

#define KEY_INJECT_PRESS 0
#define KEY_INJECT_RELEASE 1

ZQ_BEGIN_DECLS

// Injects a key event that reaches the applications like a real key.
uint32_t DL_KeyInjectKeyPress(uint8_t key, uint8_t release, uint8_t zero);
// The current state of a feature; for the keypad lock, nonzero = locked.
uint32_t DL_DbFeatureGetCurrentState(uint16_t feature, uint8_t* state);

ZQ_END_DECLS
