// SPDX-License-Identifier: MIT
// Byte and 8-bit text helpers for the framework's files. The stand-in's core
// also builds for a box without a C library, so these stay small and local
// instead of coming from <string.h>.
#pragma once

#include <stddef.h>

namespace sim::fw {

inline void ZeroBytes(void* p, size_t n) {
  auto* b = static_cast<unsigned char*>(p);
  for (size_t i = 0; i < n; ++i) b[i] = 0;
}

// Copies forwards or backwards as the regions lie, so they may overlap.
inline void MoveBytes(void* dst, const void* src, size_t n) {
  auto* d = static_cast<unsigned char*>(dst);
  auto* s = static_cast<const unsigned char*>(src);
  if (d < s) {
    for (size_t i = 0; i < n; ++i) d[i] = s[i];
  } else {
    for (size_t i = n; i > 0; --i) d[i - 1] = s[i - 1];
  }
}

inline size_t TextLength(const char* s) {
  size_t n = 0;
  while (s[n] != '\0') ++n;
  return n;
}

inline bool TextEqual(const char* a, const char* b) {
  for (; *a != '\0' && *a == *b; ++a, ++b) {
  }
  return *a == *b;
}

// Copies as much of `text` as fits and always ends `out` with a zero.
inline void CopyText(char* out, size_t size, const char* text) {
  if (size == 0) return;
  size_t i = 0;
  for (; i + 1 < size && text[i] != '\0'; ++i) out[i] = text[i];
  out[i] = '\0';
}

// The part after the last '/', or the whole text.
inline const char* AfterLastSlash(const char* s) {
  const char* last = s;
  for (; *s != '\0'; ++s)
    if (*s == '/') last = s + 1;
  return last;
}

}  // namespace sim::fw
