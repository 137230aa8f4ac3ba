// SPDX-License-Identifier: MIT
// The phone's status indicators: the stand-in keeps the one of the music
// player, whose identifier the firmware keeps after ITUNES_STATUS.
#include "platform/canvas.h"
#include "sim/framework.h"
#include "sim/internal.h"

namespace sim::fw {
namespace {

uint8_t music_indicator = 0;

}  // namespace

void StatusIndicatorReset() {
  music_indicator = 0;
}

}  // namespace sim::fw

namespace sim {

uint8_t Indicator() {
  return fw::music_indicator;
}

}  // namespace sim

ZQ_EXTERN_C uint32_t UIS_SetStatus(uint8_t indicator, uint8_t value) {
  if (indicator != sim::internal::kIndicatorId) return 0;  // indicators of other applications
  sim::fw::music_indicator = value;
  sim::internal::Emit(sim::Fact::kIndicator, value, nullptr);
  return 0;
}
