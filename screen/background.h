// SPDX-License-Identifier: MIT
// The background, the fixed texts, and the widgets that go with them.
#pragma once

#include "platform/firmware.h"

void backg();
