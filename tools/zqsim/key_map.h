// SPDX-License-Identifier: MIT
// The keyboard as the phone's keys, and the simulator's own control keys.
#pragma once

#include <SDL.h>
#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

#include "drive/keyboard.h"
#include "drive/trace.h"

namespace zqsim {

// The phone key for a keyboard key, or -1 when it is not one. `mod` matters
// for Shift+3 ("#") and Shift+8 ("*") on keyboards without those keys.
int PhoneKeyFor(SDL_Keycode sym, uint16_t mod);

// Keys that drive the simulator rather than the phone.
using Control = drive::Control;
Control ControlFor(SDL_Keycode sym);

// The key map as lines of help text, ending with a null text.
struct HelpLine {
  bool heading;
  const char* text;
};
extern const HelpLine kKeyHelp[];

// The phone keys that keyboard keys give, each once, in code order.
std::vector<uint8_t> MappedPhoneKeys();
// The keyboard keys that give a phone key, by name ("Right", "* / F2"),
// the number pad's own keys left out; empty when none does.
std::string KeyboardNames(uint8_t key);

// What the keyboard key `sym` (with the modifiers `mod`) does.
drive::KeyAction KeyAction(SDL_Keycode sym, uint16_t mod);

// The keyboard as the window takes it (drive/keyboard.h, with SDL's keys):
// a phone key is held while its keyboard key is down; F5, F6 and F7 change
// the phone at once (and say so in the trace); F1 and F12 belong to the
// front end and go to `on_control`.
class Keyboard {
 public:
  Keyboard(drive::Trace* trace, std::function<void(Control)> on_control)
      : on_control_(std::move(on_control)),
        keys_(trace, on_control_ ? drive::Call<void(Control)>(&on_control_) : drive::Callback<void(Control)>{}) {}
  Keyboard(const Keyboard&) = delete;
  Keyboard& operator=(const Keyboard&) = delete;
  // `id` tells keys apart (the window's scan code): a key that is already
  // down is not pressed again.
  void Down(uint32_t id, SDL_Keycode sym, uint16_t mod);
  void Up(uint32_t id);
  // A key of a key script (drive/keyboard.h's table), told apart from typed
  // keys by `id`.
  void Down(uint32_t id, drive::KeyAction action) { keys_.Down(id, action); }
  // Holds a phone key for something other than a keyboard key (the mouse),
  // until up(id).
  void Hold(uint32_t id, uint8_t key) { keys_.Hold(id, key); }
  // The phone keys held now, in code order, each once.
  std::vector<uint8_t> HeldKeys() const;
  // Lets go of every phone key held (the window lost the keyboard).
  void ReleaseAll() { keys_.ReleaseAll(); }

 private:
  std::function<void(Control)> on_control_;
  drive::Keyboard keys_;
};

}  // namespace zqsim
