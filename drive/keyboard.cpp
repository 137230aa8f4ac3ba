// SPDX-License-Identifier: MIT
#include "drive/keyboard.h"

#include "platform/keypad.h"

namespace drive {
namespace {

constexpr KeyAction Phone(int key) {
  return KeyAction{static_cast<int16_t>(key), Control::kNone};
}
constexpr KeyAction Sim(Control c) {
  return KeyAction{-1, c};
}

// The keyboard's keys onto the phone's (platform/keypad.h): the navigation
// keys play/pause (up), stop or show (down), go back or seek back (left), go
// forward or seek forward (right). The window maps the same keyboard keys
// (key_map.cpp).
const KeyboardKey kKeys[] = {
    {"0", Phone(KEY_0)},
    {"1", Phone(KEY_1)},
    {"2", Phone(KEY_2)},
    {"3", Phone(KEY_3)},
    {"4", Phone(KEY_4)},
    {"5", Phone(KEY_5)},
    {"6", Phone(KEY_6)},
    {"7", Phone(KEY_7)},
    {"8", Phone(KEY_8)},
    {"9", Phone(KEY_9)},
    {"Keypad 0", Phone(KEY_0)},
    {"Keypad 1", Phone(KEY_1)},
    {"Keypad 2", Phone(KEY_2)},
    {"Keypad 3", Phone(KEY_3)},
    {"Keypad 4", Phone(KEY_4)},
    {"Keypad 5", Phone(KEY_5)},
    {"Keypad 6", Phone(KEY_6)},
    {"Keypad 7", Phone(KEY_7)},
    {"Keypad 8", Phone(KEY_8)},
    {"Keypad 9", Phone(KEY_9)},
    {"*", Phone(KEY_STAR)},
    {"Keypad *", Phone(KEY_STAR)},
    {"F2", Phone(KEY_STAR)},
    {"#", Phone(KEY_HASH)},
    {"Keypad #", Phone(KEY_HASH)},
    {"F3", Phone(KEY_HASH)},
    {"Backspace", Phone(KEY_EXIT)},
    {"Escape", Phone(KEY_BACK)},
    {"End", Phone(KEY_END)},
    {"Space", Phone(KEY_MUSIC)},
    {"PageUp", Phone(KEY_SIDE_UP)},
    {"PageDown", Phone(KEY_SIDE_DOWN)},
    {"Up", Phone(KEY_NAV_UP)},
    {"Down", Phone(KEY_NAV_DOWN)},
    {"Left", Phone(KEY_NAV_LEFT)},
    {"Right", Phone(KEY_NAV_RIGHT)},
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
