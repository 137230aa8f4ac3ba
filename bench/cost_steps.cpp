// SPDX-License-Identifier: MIT
#include "bench/cost_steps.h"

#include "app/player_state.h"
#include "lyrics/parser.h"
#include "platform/keypad.h"
#include "sim/driver.h"

namespace cost {
namespace {

constexpr char kTrackA[] = "file://b/mobile/audio/a.mp3";
constexpr char kTrackB[] = "file://b/mobile/audio/b.mp3";
constexpr uint8_t kKeyNext = KEY_NAV_RIGHT, kKeyHide = KEY_BACK, kKeyShow = KEY_NAV_DOWN;

PlayerState* Player() {
  return static_cast<PlayerState*>(sim::ImageSymbol("player"));
}

void Tap(uint8_t key) {
  sim::Press(key);
  sim::Release(key);
}

// Moves the clock in ticks until the playing position is `second`.
bool PlayTo(uint32_t second) {
  for (uint32_t k = 0; k < 200 && Player()->timePosition < second; ++k) sim::Advance(1000);
  return Player()->timePosition == second;
}

// The clock in small steps until the track at `index` plays its first line.
bool PlayFirstLine(uint16_t index) {
  PlayerState* p = Player();
  for (uint32_t k = 0; k < 400; ++k) {
    if (p->cur == index && p->iRet == kLrcLoaded && p->timePosition >= 1) return true;
    sim::Advance(100);
  }
  return false;
}

}  // namespace

bool RunSteps(const char* image_path, Mark mark, void* ctx, const char** why) {
  sim::SetTrackLength(kTrackA, 60000);
  sim::SetTrackLength(kTrackB, 60000);
  uint8_t id[8];
  char text[17];
  *why = "no track a.mp3 under the root";
  if (!sim::FileId(kTrackA, id)) return false;
  sim::FileIdText(id, text);
  uint32_t lib_result = 0;
  mark(kStart, ctx);
  bool loaded = sim::LoadImage(image_path, text, 0x3000, &lib_result);
  mark(kStart, ctx);
  *why = "the image did not load or show its screen";
  if (!loaded || Player() == nullptr || !sim::CanvasExists()) return false;
  PlayerState* p = Player();
  // Lines at 10 s, 20 s and 30 s: 14 s to 15 s keeps the line, 19 s to 20 s
  // brings the next.
  const struct {
    Item item;
    uint32_t from;
    bool fresh;
  } ticks[] = {{kTickSame, 14, false}, {kTickNew, 19, true}};
  for (const auto& t : ticks) {
    *why = "a tick did not come where it should";
    if (!PlayTo(t.from) || p->iRet != kLrcLoaded) return false;
    uint16_t line = p->pos_lrc;
    mark(t.item, ctx);
    sim::Advance(1000);
    mark(t.item, ctx);
    if (p->timePosition != t.from + 1 || (p->pos_lrc != line) != t.fresh) return false;
  }
  uint16_t from = p->cur;
  mark(kTrackChange, ctx);
  Tap(kKeyNext);
  bool changed = PlayFirstLine((uint16_t)(from ^ 1));
  mark(kTrackChange, ctx);
  *why = "the next track did not reach its first line";
  if (!changed) return false;
  mark(kHide, ctx);
  Tap(kKeyHide);
  mark(kHide, ctx);
  *why = "the screen did not hide";
  if (sim::CanvasExists()) return false;
  mark(kShow, ctx);
  Tap(kKeyShow);
  mark(kShow, ctx);
  *why = "the screen did not show again";
  return sim::CanvasExists();
}

bool ParseInImage(const ImageRoutines& at, const uint8_t* song, uint16_t bytes, Mark mark, void* ctx) {
  typedef LRC* (*Parse)(const uint8_t*, uint16_t, uint8_t*);
  typedef void (*Destroy)(LRC**);
  auto parse = reinterpret_cast<Parse>(at.lib + at.get_lrc_from_buf);
  auto destroy = reinterpret_cast<Destroy>(at.lib + at.destroy_lrc);
  // The bytes sit in a block of the firmware's allocator, as the loader
  // leaves them.
  auto* block = static_cast<uint8_t*>(suAllocMem(bytes, nullptr));
  if (block == nullptr) return false;
  for (uint16_t i = 0; i < bytes; ++i) block[i] = song[i];
  uint8_t status = 0xEE;
  mark(kParse, ctx);
  LRC* lrc = parse(block, bytes, &status);
  mark(kParse, ctx);
  suFreeMem(block);
  if (lrc == nullptr) return false;
  destroy(&lrc);
  return status == kLrcLoaded;
}

bool ChangeTracks(uint32_t changes, const char** why) {
  *why = "a track change of the long run did not reach its first line";
  for (uint32_t k = 0; k < changes; ++k) {
    uint16_t from = Player()->cur;
    Tap(kKeyNext);
    if (!PlayFirstLine((uint16_t)(from ^ 1))) return false;
    sim::Advance(1000);
  }
  sim::UnloadImage();
  return true;
}

}  // namespace cost
