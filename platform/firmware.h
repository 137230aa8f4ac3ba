// SPDX-License-Identifier: MIT
// Everything the firmware offers the program, in one include.
#pragma once

#include "platform/audio.h"
#include "platform/canvas.h"
#include "platform/filesystem.h"
#include "platform/firmware_vars.h"
#include "platform/framework.h"
#include "platform/keypad.h"
#include "platform/media.h"
#include "platform/memory.h"
#include "platform/runtime.h"
#include "platform/strings.h"
