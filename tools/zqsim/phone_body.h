// SPDX-License-Identifier: MIT
// The phone drawn around its screen in the window: a body with the screen
// behind its glass and the phone's keys, each labelled and each a target for
// the mouse. Every phone key that the keyboard map gives a keyboard key is
// one of them.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "tools/zqsim/panel_font.h"

namespace zqsim {

struct Rect {
  int x, y, w, h;
  bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

enum class KeyShape : uint8_t {
  kKeypad,  // light key of the keypad
  kDark,    // dark key beside the navigation pad
  kEnd,     // the red end key
  kSide,    // a key on the body's left edge
  kArrow,   // a quarter of the round navigation pad
};

enum class Arrow : uint8_t { kUp, kDown, kLeft, kRight };

struct BodyKey {
  uint8_t code;  // the phone key it presses
  KeyShape shape;
  Rect rect;         // where the key lies (Arrow: the whole pad)
  Arrow arrow;       // Arrow only
  const char* face;  // what is printed on it
  const char* hint;  // what it does in the player, printed beside the face; may be null
};

struct PhoneBody {
  int width, height;  // the phone's part of the window: the body and its side keys
  int zoom;           // of the text and the keys: 1, or 2 beside a large screen
  Rect body;
  Rect glass;                              // the dark glass around the screen
  Rect screen;                             // the phone's screen, scaled
  int pad_x, pad_y, pad_radius, pad_hole;  // the round navigation pad
  std::vector<BodyKey> keys;
};

// The phone for a screen scale (1 to 6).
PhoneBody MakePhoneBody(int scale);

// The phone key under a point of the phone's part of the window, or -1.
int KeyAt(const PhoneBody& body, int x, int y);

// The key of `body` that presses `code`, or null.
const BodyKey* FindBodyKey(const PhoneBody& body, uint8_t code);

// What the phone's keys look like now: the key under the pointer (-1 none)
// and the phone keys held down (by the mouse or the keyboard).
struct BodyLook {
  int hover = -1;
  std::vector<uint8_t> held;
  bool operator==(const BodyLook&) const = default;
};

// Paints the phone's part of the window but its keys into an RGB buffer of
// body.width x body.height. The screen's rectangle is left for the caller.
void DrawPhoneShell(uint8_t* rgb, const PhoneBody& body, const PanelFont& font);
// Paints the keys, as they look now, over a painted shell.
void DrawPhoneKeys(uint8_t* rgb, const PhoneBody& body, const PanelFont& font, const BodyLook& look);

}  // namespace zqsim
