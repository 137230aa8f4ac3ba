// SPDX-License-Identifier: MIT
// Writing a text in one of the encodings the phone reads: UTF-8, UTF-16
// little- or big-endian, each with its byte-order mark (the phone needs the
// mark to tell them), or GB2312, which the phone takes for anything without
// a mark.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace zqlrc {

enum class Target : uint8_t { kUtf8, kUtf16Le, kUtf16Be, kGb2312 };

// "utf8", "utf16le", "utf16be", "gb2312"; false for any other name.
bool ParseTarget(const std::string& name, Target* out);
// For a person: "UTF-8 with mark", ..., "GB2312".
const char* TargetName(Target target);
// The phone's detection code of a text written in `target`.
uint8_t TargetCode(Target target);

struct Encoded {
  bool ok = false;
  std::vector<uint8_t> bytes;
  char32_t bad_char = 0;  // when not ok: the first character without a form
  size_t bad_index = 0;   // and its index in the text
};

// Characters beyond U+FFFF become surrogate pairs in UTF-16 and four bytes
// in UTF-8. GB2312 takes its own characters, ASCII from the space up, CR and
// LF; anything else (a TAB, which the phone drops, included) has no form.
Encoded Encode(const std::u32string& text, Target target);

}  // namespace zqlrc
