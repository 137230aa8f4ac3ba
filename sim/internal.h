// SPDX-License-Identifier: MIT
// What the stand-in's services need from each other. Nothing here is part of
// the driver API (driver.h) or of the firmware (platform/).
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/types.h"
#include "sim/driver.h"

namespace sim::internal {

// Values of the firmware variables the stand-in keeps at their addresses.
constexpr uint8_t kIndicatorId = 0x2A;           // byte after ITUNES_STATUS
constexpr uint16_t kKeypadLockFeature = 0x0123;  // low half of the word at KEYPAD_STATE

// Gb2312 table bytes installed by the driver, or null (firmware_memory.cpp).
const uint8_t* Gb2ucTable();

// Each service puts itself back to its first state; sim::reset() calls all.
void FrameworkReset();
void MediaReset();
void MemoryReset();
void FsReset();
void CanvasReset();
void FirmwareMemoryReset();

// Framework: queue an event for the application that owns `port`, with a
// copy of `size` bytes of attachment (the engine's ready, seek-done and end
// events). Returns false when no application owns the port.
bool PostToPort(uint32_t port, uint32_t code, const void* attachment, size_t size);
void Emit(Fact fact, uint32_t value, const char* text);
bool VoiceCallActive();

// Media: the earliest time (ms) at which the engine has something to do, or
// UINT32_MAX; and doing what is due at `now`.
uint32_t MediaNextDeadline();
void MediaRunUntil(uint32_t now);
void MediaVoiceCallStarted();

// Canvas: deletes a canvas (APP_UtilUISDialogDelete).
void CanvasDelete(uint32_t handle);
// Shows the canvas again where the phone's own screen covered it (the end
// of a call).
void CanvasUncover();

// Memory: the allocations of an image are counted from its load to its unload.
void MemoryImageLoaded();
void MemoryImageUnloaded();

// Text helpers for the stand-in's own use.
size_t Utf16ToUtf8(const WCHAR* s, char* out, size_t out_size);
size_t Utf8ToUtf16(const char* s, WCHAR* out, size_t out_units);  // units written, terminator added

}  // namespace sim::internal
