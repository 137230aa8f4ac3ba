// SPDX-License-Identifier: MIT
#include "drive/file_names.h"

#include "drive/text.h"

namespace drive {
namespace {

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool EndsWithIgnoringCase(const char* s, const char* tail) {
  size_t n = LengthOf(s), t = LengthOf(tail);
  if (n <= t) return false;
  for (size_t i = 0; i < t; ++i)
    if (Lower(s[n - t + i]) != tail[i]) return false;
  return true;
}

bool IsAudioName(const char* name) {
  return EndsWithIgnoringCase(name, ".mp3") || EndsWithIgnoringCase(name, ".m4a");
}

}  // namespace drive
