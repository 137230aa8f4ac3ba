// SPDX-License-Identifier: MIT
// Media engine: playback objects that answer asynchronously with events
// (ready, seek done, end). Positions given to the engine are milliseconds;
// attributes read back are whole seconds.
#pragma once

#include "platform/types.h"

enum : uint32_t {
  MME_ATTR_LENGTH = 1,       // length of the track, whole seconds
  MME_ATTR_POSITION = 0x4A,  // current position, whole seconds
};

#define MME_END_COMPLETE 1  // end status of a track played to its end

ZQ_BEGIN_DECLS

// Creates a playback object for `uri` whose events go to the port in the
// 4-byte block; returns its handle, 0 on refusal.
uint32_t MME_GC_playback_create(uint32_t* port_block, const WCHAR* uri, uint32_t a3, uint32_t a4, uint32_t a5,
                                uint32_t a6, uint32_t a7, uint32_t a8);
uint32_t MME_GC_playback_start(uint32_t handle, uint32_t a2, uint32_t a3);
uint32_t MME_GC_playback_pause(uint32_t handle);
uint32_t MME_GC_playback_stop(uint32_t handle);
uint32_t MME_GC_playback_delete(uint32_t handle);
uint32_t MME_GC_playback_seek(uint32_t handle, uint32_t position_ms);
uint32_t MME_GC_playback_get_attribute(uint32_t handle, uint32_t attribute, uint32_t* value);

ZQ_END_DECLS
