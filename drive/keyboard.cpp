// SPDX-License-Identifier: MIT
#include "drive/keyboard.h"

namespace drive {
namespace {

constexpr KeyAction Phone(int key) {
  return KeyAction{static_cast<int16_t>(key), Control::kNone};
}
constexpr KeyAction Sim(Control c) {
  return KeyAction{-1, c};
}

// Phone key codes: 0x00-0x09 keypad digits, 0x0A star, 0x0B hash, 0x0E and
// 0x11 the exit keys, 0x0F the back key, 0x15 the music key, 0x17/0x18 the
// side (volume) keys, 0x2C-0x2F the navigation keys: 0x2C play/pause (up),
// 0x2D stop or show (down), 0x2E back/seek back (left), 0x2F forward/seek
// forward (right). The window maps the same keyboard keys (key_map.cpp).
const KeyboardKey kKeys[] = {
    {"0", Phone(0x00)},
    {"1", Phone(0x01)},
    {"2", Phone(0x02)},
    {"3", Phone(0x03)},
    {"4", Phone(0x04)},
    {"5", Phone(0x05)},
    {"6", Phone(0x06)},
    {"7", Phone(0x07)},
    {"8", Phone(0x08)},
    {"9", Phone(0x09)},
    {"Keypad 0", Phone(0x00)},
    {"Keypad 1", Phone(0x01)},
    {"Keypad 2", Phone(0x02)},
    {"Keypad 3", Phone(0x03)},
    {"Keypad 4", Phone(0x04)},
    {"Keypad 5", Phone(0x05)},
    {"Keypad 6", Phone(0x06)},
    {"Keypad 7", Phone(0x07)},
    {"Keypad 8", Phone(0x08)},
    {"Keypad 9", Phone(0x09)},
    {"*", Phone(0x0A)},
    {"Keypad *", Phone(0x0A)},
    {"F2", Phone(0x0A)},
    {"#", Phone(0x0B)},
    {"Keypad #", Phone(0x0B)},
    {"F3", Phone(0x0B)},
    {"Backspace", Phone(0x0E)},
    {"Escape", Phone(0x0F)},
    {"End", Phone(0x11)},
    {"Space", Phone(0x15)},
    {"PageUp", Phone(0x17)},
    {"PageDown", Phone(0x18)},
    {"Up", Phone(0x2C)},
    {"Down", Phone(0x2D)},
    {"Left", Phone(0x2E)},
    {"Right", Phone(0x2F)},
    {"F1", Sim(Control::kHelp)},
    {"F5", Sim(Control::KeypadLock)},
    {"F6", Sim(Control::kVoiceCall)},
    {"F7", Sim(Control::kFrontApp)},
    {"F12", Sim(Control::kScreenshot)},
};

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(const char* a, const char* b) {
  for (; *a != '\0' && Lower(*a) == Lower(*b); ++a, ++b) {
  }
  return *a == *b;
}

}  // namespace

const KeyboardKey* KeyboardKeys(size_t* count) {
  *count = sizeof kKeys / sizeof kKeys[0];
  return kKeys;
}

const KeyboardKey* KeyboardKeyNamed(const char* name) {
  if (name == nullptr) return nullptr;
  for (const KeyboardKey& k : kKeys)
    if (SameIgnoringCase(k.name, name)) return &k;
  return nullptr;
}

void Keyboard::Down(uint32_t id, KeyAction action) {
  switch (action.control) {
    case Control::KeypadLock:
      SetKeypadLock(!sim::KeypadLocked(), trace_);
      return;
    case Control::kVoiceCall:
      SetVoiceCall(!sim::VoiceCall(), trace_);
      return;
    case Control::kFrontApp:
      SetFrontOther(sim::CurrentFront() == sim::Front::kIdle, trace_);
      return;
    case Control::kHelp:
    case Control::kScreenshot:
      on_control_(action.control);
      return;
    case Control::kNone:
      break;
  }
  if (action.phone_key >= 0 && action.phone_key <= 0xFF) Hold(id, static_cast<uint8_t>(action.phone_key));
}

void Keyboard::Hold(uint32_t id, uint8_t key) {
  for (size_t i = 0; i < count_; ++i)
    if (held_[i].id == id) return;
  // More keys than fingers: the extra ones are not pressed.
  if (count_ == kMaxHeld) return;
  held_[count_++] = Held{id, key};
  sim::Press(key);
}

size_t Keyboard::HeldKeys(uint8_t* out, size_t max) const {
  size_t n = 0;
  // Each key once, smallest first: pick the smallest key above the last.
  int last = -1;
  for (;;) {
    int next = 256;
    for (size_t i = 0; i < count_; ++i)
      if (held_[i].key > last && held_[i].key < next) next = held_[i].key;
    if (next == 256) break;
    if (n < max) out[n] = static_cast<uint8_t>(next);
    ++n;
    last = next;
  }
  return n;
}

void Keyboard::Up(uint32_t id) {
  for (size_t i = 0; i < count_; ++i) {
    if (held_[i].id != id) continue;
    uint8_t key = held_[i].key;
    for (size_t k = i + 1; k < count_; ++k) held_[k - 1] = held_[k];
    --count_;
    sim::Release(key);
    return;
  }
}

void Keyboard::ReleaseAll() {
  // Smallest id first, the order in which the window has always let go.
  while (count_ > 0) {
    size_t lowest = 0;
    for (size_t i = 1; i < count_; ++i)
      if (held_[i].id < held_[lowest].id) lowest = i;
    Up(held_[lowest].id);
  }
}

void SetKeypadLock(bool locked, Trace* trace) {
  if (trace) trace->line(locked ? "lock on" : "lock off");
  sim::SetKeypadLock(locked);
}

void SetVoiceCall(bool active, Trace* trace) {
  if (trace) trace->line(active ? "call on" : "call off");
  sim::SetVoiceCall(active);
}

void SetFrontOther(bool other, Trace* trace) {
  if (trace) trace->line(other ? "front other" : "front idle");
  sim::SetFront(other ? sim::Front::kOther : sim::Front::kIdle);
}

void ForgetInjectedKeys() {
  sim::InjectedKey keys[64];
  while (sim::TakeInjectedKeys(keys, 64) == 64) {
  }
}

}  // namespace drive
