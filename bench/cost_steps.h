// SPDX-License-Identifier: MIT
// What the player costs, step by step: the same steps run in the host images
// (callgrind counts them, bench/instr_probe.cpp) and in the phone images in
// the big-endian box (a qemu plugin counts them, bench/box_cost_probe.cpp).
// Each measured item lies between two marks of the same tag; the front end
// turns a mark into a counter reading. Only the stand-in's driver API is used,
// so that the steps build for both.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace cost {

// Tags of the measured items, in the order the steps take them.
enum Item : uint32_t {
  kStart = 1,        // the loader's call of Lib up to the first screen
  kTickSame = 2,     // one expiry of the 1 s timer, the lyric line stays
  kTickNew = 3,      // one expiry of the 1 s timer, the next line comes
  kTrackChange = 4,  // the next-track key up to the new track's first lyric line
  kHide = 5,         // the key that hides the screen
  kShow = 6,         // the key on the idle screen that shows it again
  kParse = 7,        // GetLRCFromBuf on one song (one pair of marks a song)
};

typedef void (*Mark)(uint32_t tag, void* ctx);

// The folder the steps play: ROOT/mobile/audio/a.mp3 and b.mp3 with lyrics
// a.lrc (lines at 10 s, 20 s, 30 s) and b.lrc (its first line at 1 s), as
// the bench script writes them. Loads the image and takes the steps; false
// with `why` set when a step did not do what it should.
bool RunSteps(const char* image_path, Mark mark, void* ctx, const char** why);

// After the steps, with the image still loaded: the lyrics job in the image
// itself, entered at its routines' offsets from Lib. Each song is copied into
// a block of the firmware's allocator first, its record destroyed after.
struct ImageRoutines {
  uintptr_t lib;
  uintptr_t get_lrc_from_buf;  // offsets from Lib
  uintptr_t destroy_lrc;
};
bool ParseInImage(const ImageRoutines& at, const uint8_t* song, uint16_t bytes, Mark mark, void* ctx);

// A long run after the steps: `changes` track changes, each with a tick, then
// the image is unloaded. False when a change did not reach its track.
bool ChangeTracks(uint32_t changes, const char** why);

}  // namespace cost
