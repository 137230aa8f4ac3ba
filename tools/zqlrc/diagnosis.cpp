// SPDX-License-Identifier: MIT
#include "diagnosis.h"

#include <stdio.h>

#include "text_writing.h"

namespace zqlrc {

bool Diagnose(const std::vector<uint8_t>& bytes, const std::u16string& phone_units, const std::string& from,
              Diagnosis* out, const MendOptions& options) {
  *out = Diagnosis();
  if (!ReadText(bytes, from, &out->reading)) return false;
  if (!out->reading.ok) return true;
  const std::u32string& text = out->reading.text;
  MendText(text, &out->mends, options);
  // The phone's units after its U+FEFF against the author's characters.
  size_t unit = phone_units.empty() ? 0 : 1;
  for (size_t k = 0; k < text.size(); ++k) {
    char32_t c = text[k];
    bool same = c < 0x10000 ? unit < phone_units.size() && phone_units[unit] == c
                            : unit + 1 < phone_units.size() && phone_units[unit] == 0xD800 + ((c - 0x10000) >> 10) &&
                                  phone_units[unit + 1] == 0xDC00 + ((c - 0x10000) & 0x3FF);
    if (!same) {
      out->differ_line = LineAt(text, k);
      out->differ_char = c;
      return true;
    }
    unit += c < 0x10000 ? 1 : 2;
  }
  if (unit < phone_units.size()) {
    out->differ_line = LineAt(text, text.size());
    return true;
  }
  out->as_written = true;
  return true;
}

std::string CharName(char32_t c) {
  char code[16];
  snprintf(code, sizeof code, "U+%04X", (unsigned)c);
  std::string name = code;
  if (c < 0x20 || c == 0x7F) return name;
  Encoded utf8 = Encode(std::u32string(1, c), Target::kUtf8);
  return name + " \"" + std::string(utf8.bytes.begin() + 3, utf8.bytes.end()) + "\"";
}

}  // namespace zqlrc
