// SPDX-License-Identifier: MIT
// The file log kept for front ends and tests (read through the driver API):
// the file system's services and the media engine note here what they were
// asked for.
#pragma once

#include <stdint.h>

#include "platform/types.h"
#include "sim/driver.h"

namespace sim::file_log {

void NoteExists(const WCHAR* uri, bool found);
// `handle` is the one handed out, or 0 when the file could not be opened.
void NoteOpen(const WCHAR* uri, uint16_t handle, uint64_t size);
// `position` is where the read began; `bytes` what it delivered.
void NoteRead(uint16_t handle, uint64_t position, const void* bytes, uint64_t delivered, bool whole);
void NotePlay(const char* uri8);
void Reset();

}  // namespace sim::file_log
