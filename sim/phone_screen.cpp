// SPDX-License-Identifier: MIT
// The phone's own screens, shown while the player's screen is hidden: the
// idle screen with its clock, another application, or a voice call.
#include "sim/driver.h"
#include "sim/raster.h"

namespace sim {
namespace {

constexpr int kStatusBarBottom = 17;

void Text(const char16_t* text, int x, int y, uint32_t rgb, int scale = 1) {
  uint32_t length = 0;
  while (text[length] != 0) ++length;
  font::Draw(text, length, x, y, rgb, false, 0, scale);
}

// Horizontally centred on the screen.
void CenteredText(const char16_t* text, int y, uint32_t rgb, int scale = 1) {
  const int width = (int)font::TextWidth(text, 0xFFFFFFFFu) * scale;
  Text(text, (raster::kWidth - width) / 2, y, rgb, scale);
}

// From `top` to `bottom` colour, row by row.
void VerticalGradient(uint32_t top, uint32_t bottom) {
  for (int y = 0; y < raster::kHeight; ++y) {
    uint32_t rgb = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const int a = (int)((top >> shift) & 0xFF), b = (int)((bottom >> shift) & 0xFF);
      rgb |= (uint32_t)(a + (b - a) * y / (raster::kHeight - 1)) << shift;
    }
    raster::line(0, y, raster::kWidth - 1, y, rgb);
  }
}

// Signal bars on the left, a battery on the right.
void StatusBar(uint32_t background, uint32_t ink) {
  raster::Fill(0, 0, raster::kWidth - 1, kStatusBarBottom, background);
  for (int bar = 0; bar < 4; ++bar) raster::Fill(3 + bar * 4, 13 - bar * 3, 5 + bar * 4, 14, ink);
  raster::Outline(149, 4, 169, 13, ink);
  raster::Fill(170, 7, 171, 10, ink);
  raster::Fill(151, 6, 163, 11, ink);
}

void SoftKeys(const char16_t* left, const char16_t* right, uint32_t background, uint32_t ink) {
  raster::Fill(0, 200, raster::kWidth - 1, raster::kHeight - 1, background);
  Text(left, 4, 202, ink);
  const int width = (int)font::TextWidth(right, 0xFFFFFFFFu);
  Text(right, raster::kWidth - 4 - width, 202, ink);
}

void IdleScreen() {
  VerticalGradient(0x1E3C78, 0x050A14);
  StatusBar(0x0A1428, 0xE0E8F0);
  CenteredText(u"12:00", 52, 0xFFFFFF, 3);
  CenteredText(u"ZQ Phone", 112, 0xC8D8F0);
  CenteredText(u"Mon 1 Jan", 132, 0x8CA0C0);
  SoftKeys(u"Menu", u"Names", 0x0A1428, 0xE0E8F0);
}

void OtherApplication() {
  raster::Clear(0xF4F4F4);
  StatusBar(0x303840, 0xF0F0F0);
  raster::Fill(0, 18, raster::kWidth - 1, 39, 0x4868A0);
  Text(u"Messages", 6, 21, 0xFFFFFF);
  const char16_t* const rows[] = {u"Inbox", u"Write new", u"Drafts", u"Sent", u"Settings"};
  for (int i = 0; i < 5; ++i) {
    const int top = 42 + i * 30;
    if (i == 0) raster::Fill(0, top, raster::kWidth - 1, top + 27, 0xC8D8F0);
    Text(rows[i], 10, top + 6, 0x202020);
    raster::line(4, top + 28, raster::kWidth - 5, top + 28, 0xD0D0D0);
  }
  SoftKeys(u"Select", u"Back", 0x303840, 0xF0F0F0);
}

void CallScreen() {
  VerticalGradient(0x145A32, 0x041A0E);
  StatusBar(0x0A2A18, 0xE0F0E8);
  CenteredText(u"Voice call", 40, 0xFFFFFF);
  // A handset: a thick grip bending over two ear and mouth pieces.
  for (int k = 0; k < 5; ++k) raster::Arc(60 + k, 80 + k, 116 - k, 136 - k, 15, 150, 0xFFFFFF);
  raster::Fill(56, 100, 74, 108, 0xFFFFFF);
  raster::Fill(102, 100, 120, 108, 0xFFFFFF);
  CenteredText(u"In call", 140, 0xC8F0D8);
  SoftKeys(u"Mute", u"End", 0x0A2A18, 0xE0F0E8);
}

}  // namespace

void DrawPhoneScreen() {
  // The phone's screen is a layer of its own: the player's canvas under it
  // keeps its pixels and shows again when the call ends.
  raster::DrawOn(raster::Layer::kPhone);
  if (VoiceCall()) {
    CallScreen();
  } else if (CurrentFront() == Front::kIdle) {
    IdleScreen();
  } else {
    OtherApplication();
  }
  raster::DrawOn(raster::Layer::kCanvas);
  raster::Show(raster::Layer::kPhone);
}

}  // namespace sim
