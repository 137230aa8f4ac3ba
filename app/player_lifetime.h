// SPDX-License-Identifier: MIT
// Whether the player has begun to end. player_destroyApp may run in the
// middle of another routine (a failed allocation of the track list during
// the main-state entry); the routine must then not go on preparing a track.
#pragma once

bool PlayerEnding();
