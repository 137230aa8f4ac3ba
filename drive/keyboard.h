// The keyboard of the simulator's window, as key scripts name its keys and
// as the window and headless runs take them: a phone key is held while its
// keyboard key is down; F5, F6 and F7 change the phone at once (and say so
// in the trace); F1 and F12 belong to the front end.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "drive/callback.h"
#include "drive/trace.h"

namespace drive {

// Keys that drive the simulator rather than the phone.
enum class Control : uint8_t { None, Help, KeypadLock, VoiceCall, FrontApp, Screenshot };

// What a keyboard key does: press a phone key (0 to 255; -1 when none), or
// act as a simulator key.
struct KeyAction {
  int16_t phone_key;
  Control control;
};

// A keyboard key by the name SDL gives it ("F5", "PageDown", "Keypad *").
struct KeyboardKey {
  const char* name;
  KeyAction action;
};

// The keys that act on the phone or the simulator; `count` receives how many.
const KeyboardKey* keyboard_keys(size_t* count);
// The key of that name, without regard to letter case; null when no key of
// that name does anything.
const KeyboardKey* keyboard_key_named(const char* name);

class Keyboard {
 public:
  Keyboard(Trace* trace, Callback<void(Control)> on_control) : trace_(trace), on_control_(on_control) {}
  // `id` tells keys apart (the window's scan code, a script's key): a key
  // that is already down is not pressed again.
  void down(uint32_t id, KeyAction action);
  void up(uint32_t id);
  // Holds a phone key for something other than a keyboard key (the mouse),
  // until up(id).
  void hold(uint32_t id, uint8_t key);
  // The phone keys held now, in code order, each once; returns how many
  // (at most `max` are written).
  size_t held_keys(uint8_t* out, size_t max) const;
  // Lets go of every phone key held (the window lost the keyboard).
  void release_all();

 private:
  static constexpr size_t kMaxHeld = 32;
  struct Held {
    uint32_t id;
    uint8_t key;
  };
  Trace* trace_;
  Callback<void(Control)> on_control_;
  Held held_[kMaxHeld];
  size_t count_ = 0;
};

// The phone's state as the simulator keys and the script steps change it;
// each change is also a line of the trace ("lock on", "call off", "front
// other") when a trace is given, written before what follows from it.
void set_keypad_lock(bool locked, Trace* trace);
void set_voice_call(bool active, Trace* trace);
void set_front_other(bool other, Trace* trace);

// The stand-in records the keys the program injects (one press and release
// every second while its screen is shown) for tests to look at; a long run
// empties the record now and then so that it never fills up.
void forget_injected_keys();

}  // namespace drive
