// SPDX-License-Identifier: MIT
// The media engine's playback object of the current track.
#pragma once

#include "platform/firmware.h"

uint32_t Create(EVENT_STACK_T* ev_st, APPLICATION_T* app);
uint32_t Delete();
uint32_t Play(EVENT_STACK_T* ev_st, APPLICATION_T* app);
uint32_t Pause();
uint32_t Stop();
uint32_t Seek(uint32_t position_ms);
uint32_t SeekPlay(EVENT_STACK_T* ev_st, APPLICATION_T* app);
uint32_t PlayComplete(EVENT_STACK_T* ev_st, APPLICATION_T* app);
