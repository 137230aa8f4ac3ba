// SPDX-License-Identifier: MIT
#include "tools/zqsim/key_map.h"

#include <algorithm>

#include "platform/keypad.h"

namespace zqsim {
namespace {

struct Binding {
  SDL_Keycode sym;
  uint8_t key;
};

// The navigation keys play/pause (up), stop or show (down), go back or seek
// back (left), go forward or seek forward (right); as drive/keyboard.cpp.
const Binding kBindings[] = {
    {SDLK_0, KEY_0},
    {SDLK_1, KEY_1},
    {SDLK_2, KEY_2},
    {SDLK_3, KEY_3},
    {SDLK_4, KEY_4},
    {SDLK_5, KEY_5},
    {SDLK_6, KEY_6},
    {SDLK_7, KEY_7},
    {SDLK_8, KEY_8},
    {SDLK_9, KEY_9},
    {SDLK_KP_0, KEY_0},
    {SDLK_KP_1, KEY_1},
    {SDLK_KP_2, KEY_2},
    {SDLK_KP_3, KEY_3},
    {SDLK_KP_4, KEY_4},
    {SDLK_KP_5, KEY_5},
    {SDLK_KP_6, KEY_6},
    {SDLK_KP_7, KEY_7},
    {SDLK_KP_8, KEY_8},
    {SDLK_KP_9, KEY_9},
    {SDLK_ASTERISK, KEY_STAR},
    {SDLK_KP_MULTIPLY, KEY_STAR},
    {SDLK_F2, KEY_STAR},
    {SDLK_HASH, KEY_HASH},
    {SDLK_KP_HASH, KEY_HASH},
    {SDLK_F3, KEY_HASH},
    {SDLK_BACKSPACE, KEY_EXIT},
    {SDLK_ESCAPE, KEY_BACK},
    {SDLK_END, KEY_END},
    {SDLK_SPACE, KEY_MUSIC},
    {SDLK_PAGEUP, KEY_SIDE_UP},
    {SDLK_PAGEDOWN, KEY_SIDE_DOWN},
    {SDLK_UP, KEY_NAV_UP},
    {SDLK_DOWN, KEY_NAV_DOWN},
    {SDLK_LEFT, KEY_NAV_LEFT},
    {SDLK_RIGHT, KEY_NAV_RIGHT},
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
    if (sym == SDLK_3) return KEY_HASH;
    if (sym == SDLK_8) return KEY_STAR;
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
