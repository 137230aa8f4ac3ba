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
const uint8_t* gb2uc_table();

// Each service puts itself back to its first state; sim::reset() calls all.
void framework_reset();
void media_reset();
void memory_reset();
void fs_reset();
void canvas_reset();
void firmware_memory_reset();

// Framework: queue an event for the application that owns `port`, with a
// copy of `size` bytes of attachment (the engine's ready, seek-done and end
// events). Returns false when no application owns the port.
bool post_to_port(uint32_t port, uint32_t code, const void* attachment, size_t size);
void emit(Fact fact, uint32_t value, const char* text);
bool voice_call_active();

// Media: the earliest time (ms) at which the engine has something to do, or
// UINT32_MAX; and doing what is due at `now`.
uint32_t media_next_deadline();
void media_run_until(uint32_t now);
void media_voice_call_started();

// Canvas: deletes a canvas (APP_UtilUISDialogDelete).
void canvas_delete(uint32_t handle);
// Shows the canvas again where the phone's own screen covered it (the end
// of a call).
void canvas_uncover();

// Memory: the allocations of an image are counted from its load to its unload.
void memory_image_loaded();
void memory_image_unloaded();

// Text helpers for the stand-in's own use.
size_t utf16_to_utf8(const WCHAR* s, char* out, size_t out_size);
size_t utf8_to_utf16(const char* s, WCHAR* out, size_t out_units);  // units written, terminator added

}  // namespace sim::internal
