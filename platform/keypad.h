// SPDX-License-Identifier: MIT
// Keypad: key injection and the feature database (keypad lock).
#pragma once

#include "platform/types.h"

#define KEY_INJECT_PRESS 0
#define KEY_INJECT_RELEASE 1

// The phone's keys, by the code a key event carries (byte 32 of the event).
// The keypad: the digits, the star and the hash key.
#define KEY_0 0x00
#define KEY_1 0x01
#define KEY_2 0x02
#define KEY_3 0x03
#define KEY_4 0x04
#define KEY_5 0x05
#define KEY_6 0x06
#define KEY_7 0x07
#define KEY_8 0x08
#define KEY_9 0x09
#define KEY_STAR 0x0A
#define KEY_HASH 0x0B
// The keys above the keypad: the two exit keys, the back key, the music key.
#define KEY_EXIT 0x0E
#define KEY_BACK 0x0F
#define KEY_END 0x11
#define KEY_MUSIC 0x15
// The side (volume) keys.
#define KEY_SIDE_UP 0x17
#define KEY_SIDE_DOWN 0x18
// The navigation keys.
#define KEY_NAV_UP 0x2C
#define KEY_NAV_DOWN 0x2D
#define KEY_NAV_LEFT 0x2E
#define KEY_NAV_RIGHT 0x2F

ZQ_BEGIN_DECLS

// Injects a key event that reaches the applications like a real key.
uint32_t DL_KeyInjectKeyPress(uint8_t key, uint8_t release, uint8_t zero);
// The current state of a feature; for the keypad lock, nonzero = locked.
uint32_t DL_DbFeatureGetCurrentState(uint16_t feature, uint8_t* state);

ZQ_END_DECLS
