// SPDX-License-Identifier: MIT
// Paints the phone's body and keys: rounded shapes with soft edges and a
// light from above, keys that light up under the pointer and sink while held.
#include <algorithm>
#include <cmath>

#include "tools/zqsim/phone_body.h"

namespace zqsim {
namespace {

constexpr uint32_t kGlow = 0x8CC8FF;  // the pointer's key; the panel's title colour

struct Look {
  uint32_t top, bottom, rim, text, hint;
};
constexpr Look kKeypadLook{0xE6E9ED, 0xB8BEC7, 0x6F7580, 0x16191E, 0x2F66B0};
constexpr Look kDarkLook{0x565D68, 0x393F48, 0x15171B, 0xE8EAED, 0};
constexpr Look kEndLook{0xC8483F, 0x922D27, 0x3A1210, 0xFFFFFF, 0};
constexpr Look kPadLook{0x727A88, 0x454B55, 0x15171B, 0xF2F4F7, 0};

uint32_t Mix(uint32_t a, uint32_t b, float t) {
  auto ch = [&](int shift) {
    float x = ((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t;
    return static_cast<uint32_t>(x + 0.5f) << shift;
  };
  return ch(16) | ch(8) | ch(0);
}

struct Canvas {
  uint8_t* rgb;
  int w, h;
  int clip_right = 1 << 30;  // nothing is painted from this column on

  void Blend(int x, int y, uint32_t c, float alpha) {
    if (x < 0 || y < 0 || x >= w || x >= clip_right || y >= h || alpha <= 0) return;
    uint8_t* p = rgb + (static_cast<size_t>(y) * w + x) * 3;
    uint32_t old = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    uint32_t out = Mix(old, c, std::min(alpha, 1.0f));
    p[0] = static_cast<uint8_t>(out >> 16);
    p[1] = static_cast<uint8_t>(out >> 8);
    p[2] = static_cast<uint8_t>(out);
  }

  // A rounded rectangle shaded from `top` to `bottom`, its edge smoothed
  // by how much of each pixel it covers.
  void RoundRect(const Rect& r, float radius, uint32_t top, uint32_t bottom, float alpha = 1) {
    const float hx = r.w / 2.0f, hy = r.h / 2.0f;
    radius = std::min({radius, hx, hy});
    for (int y = r.y; y < r.y + r.h; ++y) {
      uint32_t c = Mix(top, bottom, r.h > 1 ? float(y - r.y) / float(r.h - 1) : 0);
      float qy = std::fabs(y + 0.5f - (r.y + hy)) - (hy - radius);
      for (int x = r.x; x < r.x + r.w; ++x) {
        float qx = std::fabs(x + 0.5f - (r.x + hx)) - (hx - radius);
        float out = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - radius;
        Blend(x, y, c, alpha * std::clamp(0.5f - out, 0.0f, 1.0f));
      }
    }
  }

  void Triangle(float x0, float y0, float x1, float y1, float x2, float y2, uint32_t c) {
    int lx = static_cast<int>(std::floor(std::min({x0, x1, x2})));
    int hx = static_cast<int>(std::ceil(std::max({x0, x1, x2})));
    int ly = static_cast<int>(std::floor(std::min({y0, y1, y2})));
    int hy = static_cast<int>(std::ceil(std::max({y0, y1, y2})));
    auto side = [](float ax, float ay, float bx, float by, float px, float py) {
      return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
    };
    for (int y = ly; y <= hy; ++y)
      for (int x = lx; x <= hx; ++x) {
        float px = x + 0.5f, py = y + 0.5f;
        float a = side(x0, y0, x1, y1, px, py), b = side(x1, y1, x2, y2, px, py), d = side(x2, y2, x0, y0, px, py);
        if ((a >= 0 && b >= 0 && d >= 0) || (a <= 0 && b <= 0 && d <= 0)) Blend(x, y, c, 1);
      }
  }
};

Rect Inset(const Rect& r, int by) {
  return {r.x + by, r.y + by, r.w - 2 * by, r.h - 2 * by};
}

bool IsHeld(const BodyLook& look, uint8_t code) {
  return std::find(look.held.begin(), look.held.end(), code) != look.held.end();
}

// Lighter under the pointer, darker and lit from below while held.
Look StateLook(Look l, bool hover, bool held) {
  if (held) {
    uint32_t top = Mix(l.bottom, 0, 0.3f);
    l.bottom = Mix(l.top, 0, 0.3f);
    l.top = top;
  } else if (hover) {
    l.top = Mix(l.top, 0xFFFFFF, 0.22f);
    l.bottom = Mix(l.bottom, 0xFFFFFF, 0.22f);
  }
  return l;
}

void TextCentred(Canvas& cv, const PanelFont& font, int cx, int y, const std::string& s, uint32_t c, int zoom) {
  font.Draw(cv.rgb, cv.w, cv.h, cx - font.Width(s) * zoom / 2, y, s, c, zoom);
}

void DrawKey(Canvas& cv, const PhoneBody& b, const PanelFont& font, const BodyKey& k, bool hover, bool held) {
  const int z = b.zoom;
  const Look base = k.shape == KeyShape::kKeypad ? kKeypadLook : k.shape == KeyShape::kEnd ? kEndLook : kDarkLook;
  const Look l = StateLook(base, hover, held);
  const float radius = (k.shape == KeyShape::kSide ? 4 : 8) * z;
  if (hover)
    cv.RoundRect({k.rect.x - 2 * z, k.rect.y - 2 * z, k.rect.w + 4 * z, k.rect.h + 4 * z}, radius + 2 * z, kGlow, kGlow,
                 0.85f);
  cv.RoundRect(k.rect, radius, l.rim, l.rim);
  cv.RoundRect(Inset(k.rect, 1), radius - 1, l.top, l.bottom);
  const int text_y = k.rect.y + (k.rect.h - 16 * z) / 2 + (held ? z : 0);
  if (k.shape == KeyShape::kSide) {
    // Only the part outside the body shows.
    TextCentred(cv, font, (k.rect.x + b.body.x) / 2, text_y, k.face, l.text, z);
    return;
  }
  // Keypad keys have their digit on the left and what they do on the right,
  // where the key is wide enough for both.
  const int face_w = font.Width(k.face) * z;
  const int hint_w = k.hint ? font.Width(k.hint) * z : 0;
  if (k.shape == KeyShape::kKeypad && face_w + hint_w + 15 * z <= k.rect.w) {
    font.Draw(cv.rgb, cv.w, cv.h, k.rect.x + 7 * z, text_y, k.face, l.text, z);
    if (k.hint) font.Draw(cv.rgb, cv.w, cv.h, k.rect.x + k.rect.w - 6 * z - hint_w, text_y, k.hint, l.hint, z);
  } else {
    TextCentred(cv, font, k.rect.x + k.rect.w / 2, text_y, k.face, l.text, z);
  }
}

// The round pad: four quarters around a middle that is no key, each with
// its arrow; the quarter under the pointer lights up, a held one sinks.
void DrawPad(Canvas& cv, const PhoneBody& b, const BodyLook& look) {
  const float cx = b.pad_x, cy = b.pad_y, r = b.pad_radius, hole = b.pad_hole;
  const int z = b.zoom;
  const BodyKey* quarter[4] = {};
  for (const BodyKey& k : b.keys)
    if (k.shape == KeyShape::kArrow) quarter[static_cast<int>(k.arrow)] = &k;
  for (int y = b.pad_y - b.pad_radius - 1; y <= b.pad_y + b.pad_radius + 1; ++y) {
    for (int x = b.pad_x - b.pad_radius - 1; x <= b.pad_x + b.pad_radius + 1; ++x) {
      float dx = x + 0.5f - cx, dy = y + 0.5f - cy, d = std::hypot(dx, dy);
      float outer = std::clamp(r + 0.5f - d, 0.0f, 1.0f);
      if (outer <= 0) continue;
      int q = std::fabs(dx) > std::fabs(dy) ? (dx < 0 ? 2 : 3) : (dy < 0 ? 0 : 1);
      const uint8_t code = quarter[q] ? quarter[q]->code : 0xFF;
      Look l = StateLook(kPadLook, look.hover == code, IsHeld(look, code));
      float t = (dy + r) / (2 * r);
      uint32_t c = Mix(l.top, l.bottom, std::clamp(t, 0.0f, 1.0f));
      if (look.hover == code) c = Mix(c, kGlow, 0.25f);
      if (std::fabs(std::fabs(dx) - std::fabs(dy)) < 0.9f * z) c = Mix(c, l.rim, 0.45f);  // seams between quarters
      if (d > r - 1.5f * z) c = Mix(c, l.rim, 0.7f);
      cv.Blend(x, y, c, outer);
      float in_hole = std::clamp(hole + 0.5f - d, 0.0f, 1.0f);
      uint32_t middle = d > hole - 1.2f * z ? kPadLook.rim : Mix(0x2B2F37, 0x3A3F48, std::clamp(t, 0.0f, 1.0f));
      cv.Blend(x, y, middle, in_hole);
    }
  }
  // Arrows halfway between the middle and the rim.
  const float at = (r + hole) / 2, s = 6.0f * z;
  for (int q = 0; q < 4; ++q) {
    if (!quarter[q]) continue;
    const float sink = IsHeld(look, quarter[q]->code) ? z : 0;
    static const float kDir[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
    float ux = kDir[q][0], uy = kDir[q][1];
    float tipx = cx + ux * (at + s), tipy = cy + uy * (at + s) + sink;
    float bx = cx + ux * (at - s * 0.6f), by = cy + uy * (at - s * 0.6f) + sink;
    cv.Triangle(tipx, tipy, bx - uy * s, by + ux * s, bx + uy * s, by - ux * s, kPadLook.text);
  }
}

}  // namespace

void DrawPhoneShell(uint8_t* rgb, const PhoneBody& b, const PanelFont& font) {
  Canvas cv{rgb, b.width, b.height};
  const int z = b.zoom;
  cv.RoundRect({0, 0, b.width, b.height}, 0, 0x181B20, 0x0C0E11);

  // Body: a shadow, a rim catching the light, the shell.
  const float radius = 24.0f * z;
  cv.RoundRect({b.body.x + 2 * z, b.body.y + 5 * z, b.body.w, b.body.h}, radius, 0, 0, 0.5f);
  cv.RoundRect(b.body, radius, 0x0A0B0E, 0x0A0B0E);
  cv.RoundRect(Inset(b.body, 1), radius - 1, 0x69717D, 0x2E333A);
  cv.RoundRect(Inset(b.body, 1 + z), radius - 1 - z, 0x3D434C, 0x22262C);

  // Earpiece and name above the screen.
  cv.RoundRect({b.pad_x - 24 * z, b.body.y + 10 * z, 48 * z, 6 * z}, 3.0f * z, 0x0E1013, 0x1A1D22);
  TextCentred(cv, font, b.pad_x, b.body.y + 18 * z, "ZQ", 0xA8AFBA, z);

  // The glass around the screen; the screen itself is drawn by the caller.
  cv.RoundRect(b.glass, 6.0f * z, 0x2C3037, 0x1C1F24);
  cv.RoundRect(Inset(b.glass, 1), 5.0f * z, 0x060708, 0x0C0D10);
}

void DrawPhoneKeys(uint8_t* rgb, const PhoneBody& b, const PanelFont& font, const BodyLook& look) {
  Canvas cv{rgb, b.width, b.height};
  // The side keys come out from under the body's edge.
  cv.clip_right = b.body.x + 1;
  for (const BodyKey& k : b.keys)
    if (k.shape == KeyShape::kSide) DrawKey(cv, b, font, k, look.hover == k.code, IsHeld(look, k.code));
  cv.clip_right = b.width;
  DrawPad(cv, b, look);
  for (const BodyKey& k : b.keys)
    if (k.shape != KeyShape::kSide && k.shape != KeyShape::kArrow)
      DrawKey(cv, b, font, k, look.hover == k.code, IsHeld(look, k.code));
}

}  // namespace zqsim
