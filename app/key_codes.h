// SPDX-License-Identifier: MIT
// The phone's key codes as the player and the shell act on them. Codes 0x00
// to 0x0B are the keypad's keys (0x0A the star key); the others are the
// phone's side, navigation and media keys.
#pragma once

#include <stdint.h>

enum : uint8_t {
  kKeyVolumeUp = 0x01,
  kKeyPlayPause = 0x02,
  kKeySeekBack = 0x04,
  kKeyActivity = 0x05,  // injected every second; no map acts on it
  kKeySeekForward = 0x06,
  kKeyVolumeDown = 0x07,
  kKeyStop = 0x08,
  kKeyStar = 0x0A,
  kKeyPlayMode = 0x0B,
  kKeyExit = 0x0E,
  kKeyClose = 0x0F,  // closes the shell
  kKeyExitAnywhere = 0x11,
  kKeyBackgroundPlay = 0x15,
  kKeySideUp = 0x17,
  kKeySideDown = 0x18,
  kKeyMediaPlay = 0x2C,
  kKeyMediaStop = 0x2D,
  kKeyMediaBack = 0x2E,
  kKeyMediaForward = 0x2F,
};
