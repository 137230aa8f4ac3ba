// SPDX-License-Identifier: MIT
// Audio: volume levels per volume type (0 to 7) and tones.
#pragma once

#include "platform/types.h"

#define AUD_VOLUME_TYPE_DEFAULT 2
#define AUD_VOLUME_TYPE_LTE 4  // the volume type of the platform named AUD_PLATFORM_LTE
#define AUD_PLATFORM_LTE "LTE"
#define AUD_VOLUME_MAX 7

ZQ_BEGIN_DECLS

uint32_t DL_AudGetVolumeSetting(uint8_t type, uint8_t* level);
uint32_t DL_AudSetVolumeSetting(uint8_t type, uint8_t level);
uint32_t DL_AudPlayTone(uint32_t tone, uint32_t volume);

ZQ_END_DECLS
