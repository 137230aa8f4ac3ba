// SPDX-License-Identifier: MIT
// Finding and loading the current track's lyrics file.
#pragma once

#include "lyrics/record.h"

// Loads the lyrics of player.filename into player.lrc; sets player.iRet.
void GetLRCFile();
