// The phone's key codes as the player and the shell act on them. Codes 0x00
// to 0x0B are the keypad's keys (0x0A the star key); the others are the
// phone's side, navigation and media keys.
#pragma once

#include <stdint.h>

enum : uint8_t {
  KEY_VOLUME_UP = 0x01,
  KEY_PLAY_PAUSE = 0x02,
  KEY_SEEK_BACK = 0x04,
  KEY_ACTIVITY = 0x05,  // injected every second; no map acts on it
  KEY_SEEK_FORWARD = 0x06,
  KEY_VOLUME_DOWN = 0x07,
  KEY_STOP = 0x08,
  KEY_STAR = 0x0A,
  KEY_PLAY_MODE = 0x0B,
  KEY_EXIT = 0x0E,
  KEY_CLOSE = 0x0F,  // closes the shell
  KEY_EXIT_ANYWHERE = 0x11,
  KEY_BACKGROUND_PLAY = 0x15,
  KEY_SIDE_UP = 0x17,
  KEY_SIDE_DOWN = 0x18,
  KEY_MEDIA_PLAY = 0x2C,
  KEY_MEDIA_STOP = 0x2D,
  KEY_MEDIA_BACK = 0x2E,
  KEY_MEDIA_FORWARD = 0x2F,
};
