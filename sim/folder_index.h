// SPDX-License-Identifier: MIT
// The names of host folders, each listed once and kept, so that finding a
// name without regard to ASCII letter case (as the phone's FAT card does)
// costs a look in a sorted index instead of a listing of the folder per open.
// An index is listed again only when its folder has changed since (its time
// of last change), whoever changed it.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace sim::fs {

constexpr size_t kMaxNameBytes = 255;  // the longest name a host folder holds

// The name of the host folder `folder` that equals `name` (`length` bytes)
// when ASCII letter case is ignored, as the host spells it, into `best`
// (room for kMaxNameBytes + 1); of names that differ only by case, the first
// in byte order. False when the folder holds no such name or cannot be read.
bool FindNameIgnoringCase(const char* folder, const char* name, size_t length, char* best);

// Forgets every index (a new root, a reset).
void ResetFolderIndex();

// Listings of host folders the index has made since the last reset.
uint32_t FolderIndexListings();

}  // namespace sim::fs
