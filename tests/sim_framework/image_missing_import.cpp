// SPDX-License-Identifier: MIT
// A program image that imports a name no firmware offers: the loader must
// refuse it.
#include <stdint.h>

extern "C" uint32_t ZQ_NoSuchService(void);

extern "C" __attribute__((visibility("default"))) uint32_t Lib(uint32_t, const char*, uint32_t) {
  return ZQ_NoSuchService();
}
