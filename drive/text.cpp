#include "drive/text.h"

namespace drive {

Text& Text::append(const char* s) {
  return append(s, length_of(s));
}

Text& Text::append(const char* s, size_t n) {
  if (n == 0 && chars_.size() > 0) return *this;
  // The terminator is kept as the array's last item.
  uint32_t at = chars_.size() > 0 ? chars_.size() - 1 : 0;
  if (n > UINT32_MAX - 2 || chars_.append(static_cast<uint32_t>(n) + (chars_.size() > 0 ? 0 : 1)) == nullptr) {
    lost_ = true;
    return *this;
  }
  for (size_t i = 0; i < n; ++i) chars_[at + static_cast<uint32_t>(i)] = s[i];
  chars_[at + static_cast<uint32_t>(n)] = '\0';
  return *this;
}

Text& Text::append_number(uint32_t v) {
  char digits[10];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  char text[10];
  for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
  return append(text, static_cast<size_t>(n));
}

Text& Text::append_hex8(uint32_t v) {
  char text[8];
  for (int i = 0; i < 8; ++i) text[i] = "0123456789abcdef"[(v >> (28 - 4 * i)) & 0xF];
  return append(text, 8);
}

void Text::cut(size_t n) {
  if (n >= size()) return;
  chars_.cut(static_cast<uint32_t>(n) + 1);
  chars_[static_cast<uint32_t>(n)] = '\0';
}

size_t length_of(const char* s) {
  size_t n = 0;
  if (s != nullptr)
    while (s[n] != '\0') ++n;
  return n;
}

bool same_text(const char* a, const char* b) {
  for (; *a != '\0' && *a == *b; ++a, ++b) {
  }
  return *a == *b;
}

bool starts_with(const char* s, const char* prefix) {
  for (; *prefix != '\0'; ++s, ++prefix)
    if (*s != *prefix) return false;
  return true;
}

}  // namespace drive
