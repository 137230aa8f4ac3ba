// SPDX-License-Identifier: MIT
// Telling files apart by the end of their names, as every front end does:
// the one place that says which names are tracks.
#pragma once

namespace drive {

// True when `s` is longer than `tail` and ends in it, letters compared
// without regard to case (`tail` is written in lower case).
bool EndsWithIgnoringCase(const char* s, const char* tail);

// True for names ending in .mp3 or .m4a (any case).
bool IsAudioName(const char* name);

}  // namespace drive
