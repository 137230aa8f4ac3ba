// SPDX-License-Identifier: MIT
// Audio: the volume level of each volume type (0 to 7) and the tones played.
#include "platform/audio.h"

#include "sim/framework.h"
#include "sim/framework_bytes.h"
#include "sim/internal.h"

namespace sim::fw {
namespace {

constexpr int kVolumeTypes = 16;
constexpr uint8_t kDefaultVolume = 4;

struct Audio {
  uint8_t volume[kVolumeTypes];
  uint32_t tones;
};

Audio a;

}  // namespace

void AudioReset() {
  ZeroBytes(&a, sizeof(a));
  for (auto& v : a.volume) v = kDefaultVolume;
}

}  // namespace sim::fw

namespace sim {

uint8_t Volume(uint8_t type) {
  return type < fw::kVolumeTypes ? fw::a.volume[type] : 0;
}

void SetVolume(uint8_t type, uint8_t level) {
  if (type < fw::kVolumeTypes) fw::a.volume[type] = level > AUD_VOLUME_MAX ? AUD_VOLUME_MAX : level;
}

uint32_t TonesPlayed() {
  return fw::a.tones;
}

}  // namespace sim

ZQ_EXTERN_C uint32_t DL_AudGetVolumeSetting(uint8_t type, uint8_t* level) {
  if (!level || type >= sim::fw::kVolumeTypes) return 1;
  *level = sim::fw::a.volume[type];
  return 0;
}

ZQ_EXTERN_C uint32_t DL_AudSetVolumeSetting(uint8_t type, uint8_t level) {
  if (type >= sim::fw::kVolumeTypes || level > AUD_VOLUME_MAX) return 1;
  sim::fw::a.volume[type] = level;
  sim::internal::Emit(sim::Fact::kVolume, level, nullptr);
  return 0;
}

ZQ_EXTERN_C uint32_t DL_AudPlayTone(uint32_t, uint32_t) {
  ++sim::fw::a.tones;
  return 0;
}
