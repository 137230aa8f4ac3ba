// SPDX-License-Identifier: MIT
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
enum class Control : uint8_t { kNone, kHelp, KeypadLock, kVoiceCall, kFrontApp, kScreenshot };

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
const KeyboardKey* KeyboardKeys(size_t* count);
// The key of that name, without regard to letter case; null when no key of
// that name does anything.
const KeyboardKey* KeyboardKeyNamed(const char* name);

class Keyboard {
 public:
  Keyboard(Trace* trace, Callback<void(Control)> on_control) : trace_(trace), on_control_(on_control) {}
  // `id` tells keys apart (the window's scan code, a script's key): a key
  // that is already down is not pressed again.
  void Down(uint32_t id, KeyAction action);
  void Up(uint32_t id);
  // Holds a phone key for something other than a keyboard key (the mouse),
  // until up(id).
  void Hold(uint32_t id, uint8_t key);
  // The phone keys held now, in code order, each once; returns how many
  // (at most `max` are written).
  size_t HeldKeys(uint8_t* out, size_t max) const;
  // Lets go of every phone key held (the window lost the keyboard).
  void ReleaseAll();

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
void SetKeypadLock(bool locked, Trace* trace);
void SetVoiceCall(bool active, Trace* trace);
void SetFrontOther(bool other, Trace* trace);

// The stand-in records the keys the program injects (one press and release
// every second while its screen is shown) for tests to look at; a long run
// empties the record now and then so that it never fills up.
void ForgetInjectedKeys();

}  // namespace drive
