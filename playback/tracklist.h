// SPDX-License-Identifier: MIT
// The track list of the starting track's folder.
#pragma once

#include "platform/firmware.h"

#define TRACK_SLOT_BYTES 256
#define TRACK_NAME_UNITS 127  // longest name a slot holds, without its terminator

uint32_t search(EVENT_STACK_T* ev_st, APPLICATION_T* app);
uint32_t Next(EVENT_STACK_T* ev_st, APPLICATION_T* app);
uint32_t Back(EVENT_STACK_T* ev_st, APPLICATION_T* app);
