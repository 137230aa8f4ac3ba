// SPDX-License-Identifier: MIT
// The player state record: the one global record through which every part of
// the program shares the running state. It lives in static storage and is
// read and written inside event handlers only, one at a time.
#pragma once

#include "platform/firmware.h"

struct LRC;

// Playback states.
enum : uint8_t {
  kPlayerNoTrack = 0,
  kPlayerPlaying = 1,
  kPlayerPaused = 2,
  kPlayerStopped = 3,
  kPlayerSeeking = 4,
};

// Play modes.
enum : uint8_t {
  kModeSingle = 0,
  kModeRepeat = 1,
  kModeList = 2,
};

// Lyrics load status (iRet).
enum : uint8_t {
  kLrcLoaded = 0,
  kLrcErrMemory = 1,
  kLrcErrFile = 2,
  kLrcErrNoText = 3,
  kLrcErrNoFile = 4,
  kLrcErrEncrypted = 5,
  kLrcNotLoaded = 100,
};

#define ZQ_PATH_UNITS 256  // a path buffer: 255 units and the terminator

// Fields in their order in memory; the first five start with values of their
// own, the rest at zero.
struct PlayerState {
  uint8_t iRet;                   // lyrics load status of the current track
  uint8_t lrc_flag;               // 1 = the lyrics view may draw lyric lines
  int8_t Z;                       // seek direction: +1 forward, -1 backward
  uint8_t circle_s;               // play mode
  uint32_t timeRew;               // seek step, seconds per step
  uint8_t State_Player;           // playback state
  uint8_t LongPress;              // 1 once a held seek key has started stepping
  uint8_t allowPlay;              // 1 = Play may start the engine
  uint8_t isCanvas;               // 1 while the shell's canvas exists
  uint16_t cur;                   // index of the current track in the list
  uint16_t count;                 // number of tracks in the list
  uint16_t pos_lrc;               // index (into the time entries) of the line on screen
  uint32_t dialog;                // the canvas handle, valid while isCanvas is 1
  uint32_t mme_media_file;        // the playback object, 0 = none
  LRC* lrc;                       // lyrics of the current track, or null
  uint32_t timeStarPress;         // timePosition at the last star press, screen closed
  uint32_t timePosition;          // playing position, whole seconds
  uint32_t timeDuraction;         // length of the track, whole seconds
  uint32_t evcode_base;           // after registration: the player's start event code
  uint32_t display_size;          // largest coordinates: x high half, y low half
  uint32_t port;                  // the player application's port
  CanvasBuffer screenbuf;         // canvas buffer descriptor
  WCHAR filename[ZQ_PATH_UNITS];  // URI of the current track
  WCHAR cur_dir[ZQ_PATH_UNITS];   // search text of the track's folder
};

// The player's application record: the framework's record and the track list.
struct PlayerAppT {
  APPLICATION_T app;
  WCHAR* file_list;  // 256-byte slots, one name each; null until the search
};

#if ZQ_PHONE_LAYOUT
static_assert(sizeof(PlayerAppT) == 84, "player record of 84 bytes");
#endif

// The running player's state. Exported under this name so that a host test
// can read it from a loaded image.
extern "C" PlayerState player;
