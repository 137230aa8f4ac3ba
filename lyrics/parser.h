// SPDX-License-Identifier: MIT
// The LRC parser: a lyrics file's bytes to a complete, sorted record.
#pragma once

#include "lyrics/record.h"

// Returns the record, or null with the reason in *status (0 on success).
LRC* GetLRCFromBuf(const uint8_t* bytes, uint16_t len, uint8_t* status);
