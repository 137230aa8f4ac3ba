// SPDX-License-Identifier: MIT
// Registration of the two applications and the start text's file identifier.
#include "app/app.h"

namespace {

// The value of one hexadecimal digit; any other byte counts as 0.
uint32_t HexDigit(char c) {
  if (c >= '0' && c <= '9') return (uint32_t)(c - '0');
  if (c >= 'A' && c <= 'F') return (uint32_t)(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return (uint32_t)(c - 'a' + 10);
  return 0;
}

// Builds one word from 8 characters starting at `text[*pos]`. A text that
// ends early is not read past its terminating zero: each missing character
// counts as the digit 0, so the word is still shifted for it.
uint32_t HexWord(const char* text, uint32_t* pos, bool* ended) {
  uint32_t word = 0;
  for (int i = 0; i < 8; ++i) {
    uint32_t digit = 0;
    if (!*ended) {
      char c = text[*pos];
      if (c == '\0') {
        *ended = true;
      } else {
        digit = HexDigit(c);
        ++*pos;
      }
    }
    word = (word << 4) + digit;
  }
  return word;
}

// The firmware's identifier is two words, each stored most significant byte
// first, so the bytes are placed one by one whatever the processor's order.
void PutWord(uint8_t* out, uint32_t word) {
  out[0] = (uint8_t)(word >> 24);
  out[1] = (uint8_t)(word >> 16);
  out[2] = (uint8_t)(word >> 8);
  out[3] = (uint8_t)word;
}

}  // namespace

uint32_t id2uri(const char* start_text, WCHAR* uri) {
  uint32_t pos = 0;
  bool ended = false;
  uint32_t high = HexWord(start_text, &pos, &ended);
  uint32_t low = HexWord(start_text, &pos, &ended);
  uint8_t id[8];
  PutWord(&id[0], high);
  PutWord(&id[4], low);
  return DL_FsGetURIFromID(id, uri);
}

uint32_t Register(uint32_t, const char* start_text, uint32_t evcode_base) {
  player.evcode_base = evcode_base;
  if (start_text == nullptr) return 0;

  id2uri(start_text, player.filename);
  // Each registration takes a list of one start code: the shell the base,
  // the player the code after it.
  APP_Register(&player.evcode_base, 1, shell_state_handling_table, 3, shell_startApp);
  player.evcode_base += 1;
  APP_Register(&player.evcode_base, 1, player_state_handling_table, 2, player_startApp);

  LdrStartApp(player.evcode_base - 1);
  LdrStartApp(player.evcode_base);
  return 1;
}
