// SPDX-License-Identifier: MIT
// A refusal's reason, one printable line built in the caller's buffer.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace sim {

// Always terminated; text past the buffer is cut off.
class ReasonLine {
 public:
  ReasonLine(char* out, size_t size) : out_(out), size_(out ? size : 0) { Add(""); }
  ReasonLine& Add(const char* text) {
    for (; *text != '\0'; ++text)
      if (used_ + 1 < size_) out_[used_++] = *text;
    if (size_ > 0) out_[used_] = '\0';
    return *this;
  }
  // A name read from the file: a byte below a space or above '~' shows as
  // \xNN, so that the refusal stays one printable line.
  ReasonLine& Name(const char* text) {
    for (; *text != '\0'; ++text) {
      auto c = (uint8_t)*text;
      if (c >= ' ' && c <= '~') {
        char one[2] = {(char)c, '\0'};
        Add(one);
      } else {
        char escaped[5] = {'\\', 'x', "0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 0xF], '\0'};
        Add(escaped);
      }
    }
    return *this;
  }
  ReasonLine& Number(uint32_t v) {
    char digits[11];
    int n = 0;
    do {
      digits[n++] = (char)('0' + v % 10);
      v /= 10;
    } while (v != 0);
    char text[12];
    for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
    text[n] = '\0';
    return Add(text);
  }
  ReasonLine& Hex(uint32_t v) {
    char text[11] = "0x";
    int n = 0;
    for (int shift = 28; shift >= 0; shift -= 4) {
      uint32_t d = (v >> shift) & 0xF;
      if (d == 0 && n == 0 && shift > 0) continue;
      text[2 + n++] = "0123456789abcdef"[d];
    }
    text[2 + n] = '\0';
    return Add(text);
  }

 private:
  char* out_;
  size_t size_;
  size_t used_ = 0;
};

}  // namespace sim
