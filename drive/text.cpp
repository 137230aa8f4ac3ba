// SPDX-License-Identifier: MIT
#include "drive/text.h"

namespace drive {

Text& Text::Append(const char* s) {
  return Append(s, LengthOf(s));
}

Text& Text::Append(const char* s, size_t n) {
  if (n == 0 && chars_.Size() > 0) return *this;
  // The terminator is kept as the array's last item.
  uint32_t at = chars_.Size() > 0 ? chars_.Size() - 1 : 0;
  if (n > UINT32_MAX - 2 || chars_.Append(static_cast<uint32_t>(n) + (chars_.Size() > 0 ? 0 : 1)) == nullptr) {
    lost_ = true;
    return *this;
  }
  for (size_t i = 0; i < n; ++i) chars_[at + static_cast<uint32_t>(i)] = s[i];
  chars_[at + static_cast<uint32_t>(n)] = '\0';
  return *this;
}

Text& Text::AppendNumber(uint32_t v) {
  char digits[10];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  char text[10];
  for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
  return Append(text, static_cast<size_t>(n));
}

Text& Text::AppendHex8(uint32_t v) {
  char text[8];
  for (int i = 0; i < 8; ++i) text[i] = "0123456789abcdef"[(v >> (28 - 4 * i)) & 0xF];
  return Append(text, 8);
}

void Text::Cut(size_t n) {
  if (n >= Size()) return;
  chars_.Cut(static_cast<uint32_t>(n) + 1);
  chars_[static_cast<uint32_t>(n)] = '\0';
}

size_t LengthOf(const char* s) {
  size_t n = 0;
  if (s != nullptr)
    while (s[n] != '\0') ++n;
  return n;
}

bool SameText(const char* a, const char* b) {
  for (; *a != '\0' && *a == *b; ++a, ++b) {
  }
  return *a == *b;
}

bool StartsWith(const char* s, const char* prefix) {
  for (; *prefix != '\0'; ++s, ++prefix)
    if (*s != *prefix) return false;
  return true;
}

}  // namespace drive
