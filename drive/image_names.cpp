// SPDX-License-Identifier: MIT
#include "drive/image_names.h"

namespace drive {

bool IsImageName(const char* name, const char* suffix) {
  size_t n = LengthOf(name);
  const size_t s = LengthOf(suffix);
  bool has_suffix = n > s;
  for (size_t i = 0; has_suffix && i < s; ++i) has_suffix = name[n - s + i] == suffix[i];
  if (has_suffix) n -= s;
  for (const char* known : kImageNames) {
    size_t k = 0;
    while (k < n && known[k] != '\0' && known[k] == name[k]) ++k;
    if (k == n && known[k] == '\0') return true;
  }
  return false;
}

void AppendImageNames(Text* out) {
  for (size_t i = 0; i < kImageCount; ++i) {
    if (i > 0) out->Append(", ");
    out->Append(kImageNames[i]);
  }
}

}  // namespace drive
