// SPDX-License-Identifier: MIT
// Shared by the stand-in's file system pieces (files, identifiers, folder
// search): the root folder and the mapping between URIs and host paths.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/types.h"

namespace sim::fs {

constexpr size_t kHostPathBytes = 1024;
constexpr size_t kUriUnits = 256;  // 255 units and the terminator

// The host folder behind "file://b/", or null when none is set.
const char* Root();

// The host path of a URI "file://b/<rest>" (UTF-8 out). False for any other
// form, a ".." component, no root, or a path that does not fit. As on the
// phone's FAT card, names are found without regard to ASCII letter case:
// each name takes the case it has on the host, and where two host names
// differ only by case, the first in byte order is the one found. A name
// that no host file bears stays as asked. `canonical`, when given (room for
// kUriUnits), receives the URI with the names as they are on the host.
bool UriToHost(const WCHAR* uri, char* out, size_t out_size, WCHAR* canonical = nullptr);
// The same for a URI given in UTF-8; `canonical`, when given, needs room for
// the URI and its terminator.
bool Uri8ToHost(const char* uri, char* out, size_t out_size, char* canonical = nullptr);

// True when the URI names the GB2312 table file the stand-in serves from
// memory (a real file there takes precedence, checked by the caller).
bool IsServedTable(const WCHAR* uri);

// True when a file (real, or the served table) exists at the URI.
bool FileExists(const WCHAR* uri);

// Each piece back to its first state; fs_reset() calls them all.
void FilesReset();
void IdsReset();
void SearchReset();

}  // namespace sim::fs
