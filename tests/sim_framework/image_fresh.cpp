// SPDX-License-Identifier: MIT
// A minimal program image for the loader tests: its entry counts how often it
// ran in this copy of the image, and asks to be unloaded when told so.
#include <stdint.h>

#include "platform/framework.h"

extern "C" {
__attribute__((visibility("default"))) uint32_t load_count = 0;
}

extern "C" __attribute__((visibility("default"))) uint32_t Lib(uint32_t, const char* text, uint32_t base) {
  ++load_count;
  if (text && text[0] == 'U') LdrUnloadELF(nullptr);
  return base + load_count;
}
