// SPDX-License-Identifier: MIT
// The parts of the screen that never change while the player runs: the top
// and bottom bands with the version, signature and the two key labels.
#include "screen/background.h"

#include "screen/palette.h"
#include "screen/widgets.h"

namespace {

using screen::kAnchorLeft;
using screen::kAnchorTop;

#ifdef BLUE
struct Rgb {
  uint8_t r, g, b;
};

// Row k of the top band and row 219 - k of the bottom band.
const Rgb kGradient[20] = {
    {0x94, 0xB0, 0xC8}, {0x90, 0xA7, 0xC4}, {0x90, 0xA1, 0xBF}, {0x83, 0xA0, 0xBE}, {0x7C, 0x9E, 0xBC},
    {0x76, 0x97, 0xB8}, {0x72, 0x8F, 0xB4}, {0x69, 0x90, 0xB3}, {0x59, 0x83, 0xAF}, {0x16, 0x5F, 0x9C},
    {0x00, 0x59, 0x91}, {0x00, 0x63, 0xA3}, {0x06, 0x72, 0xB7}, {0x12, 0x86, 0xC2}, {0x25, 0x9B, 0xD1},
    {0x33, 0xA3, 0xDF}, {0x4A, 0xAD, 0xE9}, {0x59, 0xBC, 0xF0}, {0x6B, 0xCF, 0xFB}, {0x8A, 0xD9, 0xFF},
};
#endif

struct FixedText {
  const WCHAR* text;
  int16_t x, y;  // the white copy; the black one is one up and one left
};

const WCHAR kVersion[] = u"zq_lrc  v1.5";
const WCHAR kSignature[] = u"VUK";
const WCHAR kExit[] = u"退出";
const WCHAR kHide[] = u"隐藏";

const FixedText kTexts[] = {{kVersion, 50, 2}, {kSignature, 74, 203}, {kExit, 4, 202}, {kHide, 142, 202}};

void PaintBands() {
#ifdef BLUE
  // Only the bands: rows 20 to 199 belong to the widgets.
  for (int32_t k = 0; k < 20; ++k) {
    CanvasColor c = {kGradient[k].r, kGradient[k].g, kGradient[k].b, 255};
    UIS_CanvasSetForegroundColor(c);
    DrawLine(0, k, 175, k);
    DrawLine(0, 219 - k, 175, 219 - k);
  }
#else
  PaintHueColumns(0, screen::DisplayMaxX(), 0, screen::DisplayMaxY());
#endif
}

}  // namespace

void backg() {
  PaintBands();
  draw_name();
  screen::SetForegroundWhite();
  for (const FixedText& t : kTexts) DrawText(t.text, t.x, t.y, kAnchorLeft, kAnchorTop);
  screen::SetForegroundBlack();
  for (const FixedText& t : kTexts) DrawText(t.text, t.x - 1, t.y - 1, kAnchorLeft, kAnchorTop);
  draw_vol();
  draw_circle_s();
  draw_num();
}
