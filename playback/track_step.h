// SPDX-License-Identifier: MIT
// Moving the current track within the list, without touching the engine.
// Shared by the track changes and by the skipping of missing files.
#pragma once

#include "platform/firmware.h"

// Makes the following entry of the list current and writes its name into
// the name part of player.filename. With fewer than two entries the current
// track stays.
void StepToNextTrack(APPLICATION_T* app);
// The same towards the preceding entry.
void StepToPreviousTrack(APPLICATION_T* app);
