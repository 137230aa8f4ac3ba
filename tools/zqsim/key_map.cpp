// SPDX-License-Identifier: MIT
#include "tools/zqsim/key_map.h"

#include <algorithm>

namespace zqsim {
namespace {

struct Binding {
  SDL_Keycode sym;
  uint8_t key;
};

// Codes: 0x00-0x09 keypad digits, 0x0A star, 0x0B hash, 0x0E and 0x11 the
// exit keys, 0x0F the back key, 0x15 the music key, 0x17/0x18 the side
// (volume) keys, 0x2C-0x2F the navigation keys: 0x2C play/pause (up),
// 0x2D stop or show (down), 0x2E back/seek back (left), 0x2F forward/seek
// forward (right).
const Binding kBindings[] = {
    {SDLK_0, 0x00},        {SDLK_1, 0x01},           {SDLK_2, 0x02},      {SDLK_3, 0x03},    {SDLK_4, 0x04},
    {SDLK_5, 0x05},        {SDLK_6, 0x06},           {SDLK_7, 0x07},      {SDLK_8, 0x08},    {SDLK_9, 0x09},
    {SDLK_KP_0, 0x00},     {SDLK_KP_1, 0x01},        {SDLK_KP_2, 0x02},   {SDLK_KP_3, 0x03}, {SDLK_KP_4, 0x04},
    {SDLK_KP_5, 0x05},     {SDLK_KP_6, 0x06},        {SDLK_KP_7, 0x07},   {SDLK_KP_8, 0x08}, {SDLK_KP_9, 0x09},
    {SDLK_ASTERISK, 0x0A}, {SDLK_KP_MULTIPLY, 0x0A}, {SDLK_F2, 0x0A},     {SDLK_HASH, 0x0B}, {SDLK_KP_HASH, 0x0B},
    {SDLK_F3, 0x0B},       {SDLK_BACKSPACE, 0x0E},   {SDLK_ESCAPE, 0x0F}, {SDLK_END, 0x11},  {SDLK_SPACE, 0x15},
    {SDLK_PAGEUP, 0x17},   {SDLK_PAGEDOWN, 0x18},    {SDLK_UP, 0x2C},     {SDLK_DOWN, 0x2D}, {SDLK_LEFT, 0x2E},
    {SDLK_RIGHT, 0x2F},
};

}  // namespace

const HelpLine kKeyHelp[] = {
    {true, "Player screen"},
    {false, "Up     2C  play / pause"},
    {false, "Down   2D  stop"},
    {false, "Left   2E  tap: previous track; hold: seek"},
    {false, "Right  2F  tap: next track; hold: seek"},
    {false, "PgUp   17  volume up   PgDn  18  down"},
    {false, "1 / 7  01/07  volume up / down"},
    {false, "2  02 play / pause     8  08 stop"},
    {false, "4 / 6  04/06  like Left / Right"},
    {false, "#  F3  0B  next play mode"},
    {false, "Esc 0F  or  *  F2  0A  hide the screen"},
    {false, "Bksp   0E  exit    End   11  exit"},
    {true, "Hidden, idle screen in front"},
    {false, "Down   2D  show the player screen"},
    {false, "Up Left Right PgUp PgDn  as above"},
    {false, "End    11  exit"},
    {true, "Hidden, another application in front"},
    {false, "Space  15  play / pause"},
    {false, "PgUp   17  next track 1 s later"},
    {false, "PgDn   18  previous track 1 s later"},
    {true, "Hidden, either"},
    {false, "*  F2  0A  held 2 s while playing: show"},
    {true, "Simulator (keypad lock: keys do nothing)"},
    {false, "F1 key map on/off    F5 keypad lock"},
    {false, "F6 voice call        F7 idle / other app"},
    {false, "F12 screenshot (--shots DIR, else .)"},
    {false, nullptr},
};

int PhoneKeyFor(SDL_Keycode sym, uint16_t mod) {
  if (mod & KMOD_SHIFT) {
    if (sym == SDLK_3) return 0x0B;
    if (sym == SDLK_8) return 0x0A;
  }
  for (const Binding& b : kBindings)
    if (b.sym == sym) return b.key;
  return -1;
}

Control ControlFor(SDL_Keycode sym) {
  switch (sym) {
    case SDLK_F1:
      return Control::kHelp;
    case SDLK_F5:
      return Control::KeypadLock;
    case SDLK_F6:
      return Control::kVoiceCall;
    case SDLK_F7:
      return Control::kFrontApp;
    case SDLK_F12:
      return Control::kScreenshot;
    default:
      return Control::kNone;
  }
}

std::vector<uint8_t> MappedPhoneKeys() {
  std::vector<uint8_t> keys;
  for (const Binding& b : kBindings) keys.push_back(b.key);
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  return keys;
}

std::string KeyboardNames(uint8_t key) {
  std::string names;
  for (const Binding& b : kBindings) {
    if (b.key != key || (b.sym >= SDLK_KP_DIVIDE && b.sym <= SDLK_KP_PERIOD) || b.sym == SDLK_KP_HASH) continue;
    if (!names.empty()) names += " / ";
    names += SDL_GetKeyName(b.sym);
  }
  return names;
}

drive::KeyAction KeyAction(SDL_Keycode sym, uint16_t mod) {
  Control control = ControlFor(sym);
  if (control != Control::kNone) return drive::KeyAction{-1, control};
  return drive::KeyAction{static_cast<int16_t>(PhoneKeyFor(sym, mod)), Control::kNone};
}

void Keyboard::Down(uint32_t id, SDL_Keycode sym, uint16_t mod) {
  keys_.Down(id, KeyAction(sym, mod));
}

void Keyboard::Up(uint32_t id) {
  keys_.Up(id);
}

std::vector<uint8_t> Keyboard::HeldKeys() const {
  uint8_t keys[256];
  size_t n = keys_.HeldKeys(keys, sizeof keys);
  return std::vector<uint8_t>(keys, keys + n);
}

}  // namespace zqsim
