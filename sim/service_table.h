// SPDX-License-Identifier: MIT
// The firmware services the stand-in offers, by name: what a loader resolves
// an image's imports against. The list is platform/services.txt.
#pragma once

namespace sim {

// The address of the stand-in's service of this name, or null when the
// firmware has no such service.
const void* ServiceAddress(const char* name);

}  // namespace sim
