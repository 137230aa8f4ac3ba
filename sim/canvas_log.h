// SPDX-License-Identifier: MIT
// The canvas call log kept for tests (read through the driver API).
#pragma once

#include "sim/driver.h"

namespace sim::canvas_log {

// A call with every field cleared, for the caller to fill in.
CanvasCall Blank(CanvasOp op, uint32_t dialog);
// Keeps up to SIM_LOG_TEXT_UNITS units of `text` (stopping at a zero unit).
void SetText(CanvasCall* call, const WCHAR* text, uint32_t length);
void Record(const CanvasCall& call);

}  // namespace sim::canvas_log
