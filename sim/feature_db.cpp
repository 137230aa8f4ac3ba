// SPDX-License-Identifier: MIT
// The feature database: of all its features the program asks only for the
// keypad lock, under the identifier the firmware keeps at KEYPAD_STATE.
#include "platform/keypad.h"
#include "sim/framework.h"
#include "sim/internal.h"

namespace sim::fw {
namespace {

bool keypad_lock = false;

}  // namespace

void FeatureDbReset() {
  keypad_lock = false;
}

}  // namespace sim::fw

namespace sim {

void SetKeypadLock(bool locked) {
  fw::keypad_lock = locked;
}

bool KeypadLocked() {
  return fw::keypad_lock;
}

}  // namespace sim

ZQ_EXTERN_C uint32_t DL_DbFeatureGetCurrentState(uint16_t feature, uint8_t* state) {
  if (!state) return 1;
  *state = feature == sim::internal::kKeypadLockFeature && sim::fw::keypad_lock ? 1 : 0;
  return 0;
}
