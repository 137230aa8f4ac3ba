// SPDX-License-Identifier: MIT
#include "readable_text.h"

#include <stdio.h>

#include "sim/utf8.h"

namespace zqlrc {

namespace {

void Append(std::string* out, char32_t c) {
  char escape[16];
  if (c < 0x20 || c == 0x7F) {
    snprintf(escape, sizeof escape, "\\x%02X", (unsigned)c);
    *out += escape;
  } else if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
    snprintf(escape, sizeof escape, "<U+%04X>", (unsigned)c);
    *out += escape;
  } else {
    char bytes[sim::kUtf8MaxBytes];
    out->append(bytes, sim::EncodeUtf8(c, bytes));
  }
}

}  // namespace

std::string Readable(const char16_t* units, size_t count) {
  std::string out;
  for (size_t k = 0; k < count; ++k) {
    char32_t c = units[k];
    if (c >= 0xD800 && c <= 0xDBFF && k + 1 < count && units[k + 1] >= 0xDC00 && units[k + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[k + 1] - 0xDC00);
      ++k;
    }
    Append(&out, c);
  }
  return out;
}

std::string Readable(const std::u32string& text) {
  std::string out;
  for (char32_t c : text) Append(&out, c);
  return out;
}

std::string Quote(const std::u32string& text, size_t from, size_t limit) {
  size_t end = from;
  while (end < text.size() && end - from < limit && text[end] != U'\r' && text[end] != U'\n') ++end;
  std::string quoted = "\"";  // piece by piece, for gcc 12 (see lint.cpp)
  quoted += Readable(text.substr(from, end - from));
  quoted += '"';
  return quoted;
}

}  // namespace zqlrc
