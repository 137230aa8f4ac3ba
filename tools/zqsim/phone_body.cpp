// SPDX-License-Identifier: MIT
#include "tools/zqsim/phone_body.h"

#include <algorithm>
#include <cstdlib>

#include "platform/keypad.h"

namespace zqsim {
namespace {

// Sizes at zoom 1, in window pixels; the screen itself is 176 x 220 times
// the scale.
constexpr int kOuterX = 26;  // the body's distance to the window's edge; the side keys stick out into it
constexpr int kOuterY = 10;
constexpr int kBodyPad = 12;     // body edge to glass
constexpr int kGlassBorder = 6;  // glass edge to screen
constexpr int kTop = 36;         // body top to glass: earpiece and name
constexpr int kGapBelowGlass = 12;
constexpr int kPadSize = 82;  // the navigation pad's diameter
constexpr int kPadHole = 14;  // radius of its middle, which is no key
constexpr int kPadGap = 8;    // between the pad and the keys beside it
constexpr int kDarkKeyH = 30;
constexpr int kDarkKeyMaxW = 84;
constexpr int kGapAboveKeypad = 10;
constexpr int kKeyH = 30;
constexpr int kKeyGap = 6;
constexpr int kKeyMaxW = 112;
constexpr int kBottom = 14;
constexpr int kSideOut = 12;  // how far a side key sticks out of the body
constexpr int kSideH = 40;
constexpr int kSideTop = 24;  // below the glass's top edge

struct KeypadKey {
  uint8_t code;
  const char* face;
  const char* hint;
};

// The keypad in its rows; the hints name what each key does on the player's
// screen.
const KeypadKey kKeypad[12] = {
    {KEY_1, "1", "vol+"},  {KEY_2, "2", "play"},    {KEY_3, "3", nullptr}, {KEY_4, "4", "◀◀"},
    {KEY_5, "5", nullptr}, {KEY_6, "6", "▶▶"},      {KEY_7, "7", "vol-"},  {KEY_8, "8", "stop"},
    {KEY_9, "9", nullptr}, {KEY_STAR, "*", "hide"}, {KEY_0, "0", nullptr}, {KEY_HASH, "#", "mode"},
};

}  // namespace

PhoneBody MakePhoneBody(int scale) {
  PhoneBody b{};
  const int z = scale >= 4 ? 2 : 1;
  b.zoom = z;
  const int screen_w = 176 * scale, screen_h = 220 * scale;
  b.body.x = kOuterX * z;
  b.body.y = kOuterY * z;
  b.body.w = screen_w + 2 * (kGlassBorder + kBodyPad) * z;
  b.glass = {b.body.x + kBodyPad * z, b.body.y + kTop * z, screen_w + 2 * kGlassBorder * z,
             screen_h + 2 * kGlassBorder * z};
  b.screen = {b.glass.x + kGlassBorder * z, b.glass.y + kGlassBorder * z, screen_w, screen_h};

  // The navigation pad in the middle, two dark keys on each side of it: the
  // exit key under the screen's "exit" label, the hide key under "hide".
  const int nav_y = b.glass.y + b.glass.h + kGapBelowGlass * z;
  b.pad_radius = kPadSize * z / 2;
  b.pad_hole = kPadHole * z;
  b.pad_x = b.body.x + b.body.w / 2;
  b.pad_y = nav_y + b.pad_radius;
  const Rect pad{b.pad_x - b.pad_radius, nav_y, 2 * b.pad_radius, 2 * b.pad_radius};
  for (Arrow a : {Arrow::kUp, Arrow::kDown, Arrow::kLeft, Arrow::kRight}) {
    static const uint8_t kCode[] = {KEY_NAV_UP, KEY_NAV_DOWN, KEY_NAV_LEFT, KEY_NAV_RIGHT};
    static const char* const kFace[] = {"▲", "▼", "◀", "▶"};
    b.keys.push_back({kCode[static_cast<int>(a)], KeyShape::kArrow, pad, a, kFace[static_cast<int>(a)], nullptr});
  }
  const int dark_w = std::min(kDarkKeyMaxW * z, (b.glass.w - 2 * b.pad_radius - 2 * kPadGap * z) / 2);
  const int dark_h = kDarkKeyH * z;
  const int left = b.glass.x, right = b.glass.x + b.glass.w - dark_w;
  const int upper = nav_y + 2 * z, lower = nav_y + kPadSize * z - dark_h - 2 * z;
  b.keys.push_back({KEY_EXIT, KeyShape::kDark, {left, upper, dark_w, dark_h}, Arrow::kUp, "exit", nullptr});
  b.keys.push_back({KEY_BACK, KeyShape::kDark, {right, upper, dark_w, dark_h}, Arrow::kUp, "hide", nullptr});
  b.keys.push_back({KEY_MUSIC, KeyShape::kDark, {left, lower, dark_w, dark_h}, Arrow::kUp, "♪", nullptr});
  b.keys.push_back({KEY_END, KeyShape::kEnd, {right, lower, dark_w, dark_h}, Arrow::kUp, "end", nullptr});

  // The keypad, no wider than keys of a sensible shape.
  const int gap = kKeyGap * z;
  const int key_w = std::min(kKeyMaxW * z, (b.glass.w - 2 * gap) / 3);
  const int key_h = kKeyH * z;
  const int keypad_x = b.pad_x - (3 * key_w + 2 * gap) / 2;
  const int keypad_y = nav_y + kPadSize * z + kGapAboveKeypad * z;
  for (int i = 0; i < 12; ++i) {
    Rect r{keypad_x + (i % 3) * (key_w + gap), keypad_y + (i / 3) * (key_h + gap), key_w, key_h};
    b.keys.push_back({kKeypad[i].code, KeyShape::kKeypad, r, Arrow::kUp, kKeypad[i].face, kKeypad[i].hint});
  }
  b.body.h = keypad_y + 4 * key_h + 3 * gap + kBottom * z - b.body.y;

  // The volume keys on the left edge, beside the screen's top. Their box
  // reaches a little under the body, which makes them easier to hit.
  const int side_y = b.glass.y + kSideTop * z;
  const Rect up{b.body.x - kSideOut * z, side_y, (kSideOut + 4) * z, kSideH * z};
  Rect down = up;
  down.y += (kSideH + 6) * z;
  b.keys.push_back({KEY_SIDE_UP, KeyShape::kSide, up, Arrow::kUp, "+", nullptr});
  b.keys.push_back({KEY_SIDE_DOWN, KeyShape::kSide, down, Arrow::kUp, "-", nullptr});

  b.width = 2 * b.body.x + b.body.w;
  b.height = 2 * b.body.y + b.body.h;
  return b;
}

int KeyAt(const PhoneBody& b, int x, int y) {
  for (const BodyKey& k : b.keys) {
    if (!k.rect.Contains(x, y)) continue;
    if (k.shape != KeyShape::kArrow) return k.code;
    int dx = x - b.pad_x, dy = y - b.pad_y;
    int d2 = dx * dx + dy * dy;
    if (d2 > b.pad_radius * b.pad_radius || d2 < b.pad_hole * b.pad_hole) return -1;
    Arrow a =
        std::abs(dx) > std::abs(dy) ? (dx < 0 ? Arrow::kLeft : Arrow::kRight) : (dy < 0 ? Arrow::kUp : Arrow::kDown);
    for (const BodyKey& q : b.keys)
      if (q.shape == KeyShape::kArrow && q.arrow == a) return q.code;
  }
  return -1;
}

const BodyKey* FindBodyKey(const PhoneBody& b, uint8_t code) {
  for (const BodyKey& k : b.keys)
    if (k.code == code) return &k;
  return nullptr;
}

}  // namespace zqsim
