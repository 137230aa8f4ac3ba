// SPDX-License-Identifier: MIT
// The loader enters the image at its first byte. On the phone the linker
// script puts this stub there (it has its own section, .text.Lib); it only
// hands the loader's three values on to the registration.
#include "app/app.h"

extern "C" __attribute__((visibility("default"), section(".text.Lib"), noinline)) uint32_t Lib(uint32_t unused,
                                                                                               const char* start_text,
                                                                                               uint32_t evcode_base) {
  return Register(unused, start_text, evcode_base);
}
