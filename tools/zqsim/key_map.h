// The keyboard as the phone's keys, and the simulator's own control keys.
#pragma once

#include <SDL.h>
#include <stdint.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/zqsim/trace.h"

namespace zqsim {

// The phone key for a keyboard key, or -1 when it is not one. `mod` matters
// for Shift+3 ("#") and Shift+8 ("*") on keyboards without those keys.
int phone_key_for(SDL_Keycode sym, uint16_t mod);

// Keys that drive the simulator rather than the phone.
enum class Control : uint8_t { None, Help, KeypadLock, VoiceCall, FrontApp, Screenshot };
Control control_for(SDL_Keycode sym);

// The key map as lines of help text, ending with a null text.
struct HelpLine {
  bool heading;
  const char* text;
};
extern const HelpLine kKeyHelp[];

// The phone keys that keyboard keys give, each once, in code order.
std::vector<uint8_t> mapped_phone_keys();
// The keyboard keys that give a phone key, by name ("Right", "* / F2"),
// the number pad's own keys left out; empty when none does.
std::string keyboard_names(uint8_t key);

// A keyboard key by its name ("F5", "Up", "PageDown", "*", "3"), as key
// scripts give it; 0 when there is no such key.
int32_t keyboard_key(const std::string& name);

// The keyboard as the window takes it: a phone key is held while its
// keyboard key is down; F5, F6 and F7 change the phone at once (and say so
// in the trace); F1 and F12 belong to the front end and go to `on_control`.
class Keyboard {
 public:
  Keyboard(Trace* trace, std::function<void(Control)> on_control) : trace_(trace), on_control_(std::move(on_control)) {}
  // `id` tells keys apart (the window's scan code): a key that is already
  // down is not pressed again.
  void down(uint32_t id, SDL_Keycode sym, uint16_t mod);
  void up(uint32_t id);
  // Holds a phone key for something other than a keyboard key (the mouse),
  // until up(id).
  void hold(uint32_t id, uint8_t key);
  // The phone keys held now, in code order, each once.
  std::vector<uint8_t> held_keys() const;
  // Lets go of every phone key held (the window lost the keyboard).
  void release_all();

 private:
  Trace* trace_;
  std::function<void(Control)> on_control_;
  std::map<uint32_t, uint8_t> held_;
};

}  // namespace zqsim
