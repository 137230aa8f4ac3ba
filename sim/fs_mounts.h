// SPDX-License-Identifier: MIT
// Folders of the card laid onto host folders other than the ones under the
// root: a front end shows the phone a music folder where it lies, and its
// lyrics folder as the union of the folders it gathers lyrics from, without
// a link per file.
#pragma once

#include <stddef.h>

namespace sim::fs {

constexpr size_t kMaxMountDirs = 4;

// The mount whose folder holds `rest` (a URI after "file://b/"), the deepest
// one: its host folders in order into `dirs`, their number into *count, and
// the bytes of `rest` its folder takes into *taken. False when none does.
bool FindMount(const char* rest, const char* dirs[kMaxMountDirs], size_t* count, size_t* taken);

// Forgets every mount (a new root, a reset).
void ResetMounts();

}  // namespace sim::fs
