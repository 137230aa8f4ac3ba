#include "tools/zqsim/key_map.h"

namespace zqsim {
namespace {

struct Binding {
  SDL_Keycode sym;
  uint8_t key;
};

// Codes: 0x00-0x09 keypad digits, 0x0A star, 0x0B hash, 0x0E and 0x11 the
// exit keys, 0x0F the back key, 0x15 the music key, 0x17/0x18 the side
// (volume) keys, 0x2C-0x2F the navigation keys: 0x2C play/pause (up),
// 0x2D stop or show (down), 0x2E back/seek back (left), 0x2F forward/seek
// forward (right).
const Binding kBindings[] = {
    {SDLK_0, 0x00},        {SDLK_1, 0x01},           {SDLK_2, 0x02},      {SDLK_3, 0x03},    {SDLK_4, 0x04},
    {SDLK_5, 0x05},        {SDLK_6, 0x06},           {SDLK_7, 0x07},      {SDLK_8, 0x08},    {SDLK_9, 0x09},
    {SDLK_KP_0, 0x00},     {SDLK_KP_1, 0x01},        {SDLK_KP_2, 0x02},   {SDLK_KP_3, 0x03}, {SDLK_KP_4, 0x04},
    {SDLK_KP_5, 0x05},     {SDLK_KP_6, 0x06},        {SDLK_KP_7, 0x07},   {SDLK_KP_8, 0x08}, {SDLK_KP_9, 0x09},
    {SDLK_ASTERISK, 0x0A}, {SDLK_KP_MULTIPLY, 0x0A}, {SDLK_F2, 0x0A},     {SDLK_HASH, 0x0B}, {SDLK_KP_HASH, 0x0B},
    {SDLK_F3, 0x0B},       {SDLK_BACKSPACE, 0x0E},   {SDLK_ESCAPE, 0x0F}, {SDLK_END, 0x11},  {SDLK_SPACE, 0x15},
    {SDLK_PAGEUP, 0x17},   {SDLK_PAGEDOWN, 0x18},    {SDLK_UP, 0x2C},     {SDLK_DOWN, 0x2D}, {SDLK_LEFT, 0x2E},
    {SDLK_RIGHT, 0x2F},
};

}  // namespace

const char* const kKeyHelp[] = {
    "Phone keys",
    "Up      2C play / pause",
    "Down    2D stop; idle screen: show player",
    "Left    2E tap: previous, hold: seek",
    "Right   2F tap: next, hold: seek",
    "PgUp    17 volume up",
    "        hidden: next track after 1 s",
    "PgDn    18 volume down",
    "        hidden: previous after 1 s",
    "1 / 7   01/07 volume up / down",
    "2       02 play / pause",
    "4 / 6   04/06 like Left / Right",
    "8       08 stop",
    "0-9     00-09 keypad digits",
    "* F2    0A hide the player screen;",
    "        hidden: hold 2 s = show",
    "# F3    0B next play mode",
    "Esc     0F hide the player screen",
    "Bksp    0E exit the player",
    "End     11 exit the player",
    "Space   15 hidden: play / pause",
    "",
    "Simulator keys",
    "F1 this help     F5 keypad lock",
    "F6 voice call    F7 idle / other app",
    "F12 screenshot",
    nullptr,
};

int phone_key_for(SDL_Keycode sym, uint16_t mod) {
  if (mod & KMOD_SHIFT) {
    if (sym == SDLK_3) return 0x0B;
    if (sym == SDLK_8) return 0x0A;
  }
  for (const Binding& b : kBindings)
    if (b.sym == sym) return b.key;
  return -1;
}

Control control_for(SDL_Keycode sym) {
  switch (sym) {
    case SDLK_F1:
      return Control::Help;
    case SDLK_F5:
      return Control::KeypadLock;
    case SDLK_F6:
      return Control::VoiceCall;
    case SDLK_F7:
      return Control::FrontApp;
    case SDLK_F12:
      return Control::Screenshot;
    default:
      return Control::None;
  }
}

}  // namespace zqsim
