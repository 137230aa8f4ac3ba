// SPDX-License-Identifier: MIT
// What the phone's display shows, and screenshots of it: the checksum in
// the trace, and the picture in a file.
#pragma once

#include <stdint.h>

#include "drive/callback.h"
#include "drive/text.h"
#include "drive/trace.h"

namespace drive {

// True while the player's screen is not what the phone shows: no canvas,
// no shell, or a voice call in front of it.
bool PlayerScreenHidden();

// Paints the phone's own screen (idle, another application, the call) into
// the framebuffer while the player's screen is hidden; otherwise nothing.
void ShowPhoneScreenIfHidden();

// CRC-32 of the screen's RGB bytes, row by row.
uint32_t ScreenCrc32();

// Writes the stand-in's framebuffer as a PNG file at `path`; false with a
// reason when it cannot.
using SaveScreen = Callback<bool(const char* path, Text* error)>;
// The driver's own writer (png_file.h).
SaveScreen PngSaver();

// Brings the framebuffer up to date, writes "shot NAME CRC" to the trace and,
// when `dir` is set, saves the file DIR/NAME.png with `save`. False with a
// reason when the file cannot be written (the trace line is written all the
// same).
bool TakeShot(const char* dir, const char* name, Trace* trace, SaveScreen save, Text* error);

// Makes the folder and the folders above it as needed; true when it is a
// folder afterwards.
bool MakeFolders(const char* dir);

// The name of the next screenshot the F12 key saves into `dir`: "zqsim-N"
// with N one past the highest N of the zqsim-N.png files already there, so
// that screenshots of earlier runs are kept.
void NextKeyShotName(const char* dir, Text* out);

// Appends a name made fit for a file: letters, digits, "_", "-", "." and
// UTF-8 (non-ASCII) characters kept, the rest replaced by "_".
void AppendFileSafe(Text* out, const char* name);

}  // namespace drive
