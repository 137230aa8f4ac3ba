// SPDX-License-Identifier: MIT
// What the phone's keys (platform/keypad.h) do in the player and the shell.
#pragma once

#include <stdint.h>

#include "platform/keypad.h"

enum : uint8_t {
  kKeyVolumeUp = KEY_1,
  kKeyPlayPause = KEY_2,
  kKeySeekBack = KEY_4,
  kKeyActivity = KEY_5,  // injected every second; no map acts on it
  kKeySeekForward = KEY_6,
  kKeyVolumeDown = KEY_7,
  kKeyStop = KEY_8,
  kKeyStar = KEY_STAR,
  kKeyPlayMode = KEY_HASH,
  kKeyExit = KEY_EXIT,
  kKeyClose = KEY_BACK,  // closes the shell
  kKeyExitAnywhere = KEY_END,
  kKeyBackgroundPlay = KEY_MUSIC,
  kKeySideUp = KEY_SIDE_UP,
  kKeySideDown = KEY_SIDE_DOWN,
  kKeyMediaPlay = KEY_NAV_UP,
  kKeyMediaStop = KEY_NAV_DOWN,
  kKeyMediaBack = KEY_NAV_LEFT,
  kKeyMediaForward = KEY_NAV_RIGHT,
};
