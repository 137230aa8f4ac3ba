// SPDX-License-Identifier: MIT
// File system of the phone: URIs of the form "file://b/...", 8-byte file
// identifiers, reading whole files and searching folders. Sizes and offsets
// are in bytes.
#pragma once

#include "platform/types.h"

// Parameters of a folder search: eight bytes passed by value.
struct FS_SEARCH_PARAMS_T {
  uint8_t flags;
  uint8_t zero;
  uint16_t attrib;
  uint16_t mask;
  uint16_t zero2;
};

#define FS_SEARCH_FLAGS 0x1C
#define FS_URI_UNITS 256  // a URI buffer: 255 units and the terminator

// One search result: the file's full URI first.
struct FS_SEARCH_RESULT_T {
  WCHAR name[FS_URI_UNITS];
  uint32_t attrib;
  uint32_t size;
};

// Search patterns are joined with this unit in front of each.
#define FS_PATTERN_SEPARATOR 0xFFFE

static_assert(sizeof(FS_SEARCH_PARAMS_T) == 8, "search parameters of 8 bytes");

ZQ_BEGIN_DECLS

// Writes the URI of the file with the 8-byte identifier into `uri` (256 units).
uint32_t DL_FsGetURIFromID(const uint8_t* id, WCHAR* uri);
uint8_t DL_FsFFileExist(const WCHAR* uri);  // 1 when the file exists
FILE_HANDLE_T DL_FsOpenFile(const WCHAR* uri, uint32_t mode, uint32_t param);
uint32_t DL_FsGetFileSize(FILE_HANDLE_T handle);
uint32_t DL_FsFSeekFile(FILE_HANDLE_T handle, int32_t offset, uint32_t whence);  // whence 0: from the start
uint32_t DL_FsReadFile(void* buffer, uint32_t item_size, uint32_t items, FILE_HANDLE_T handle, uint32_t* items_read);
uint32_t DL_FsCloseFile(FILE_HANDLE_T handle);
// Starts a search of a folder for several patterns; `total` is the number of
// results. Returns 0 on success.
uint32_t DL_FsSSearch(FS_SEARCH_PARAMS_T params, const WCHAR* search, uint8_t* handle, uint16_t* total, uint32_t zero);
// Fetches `*count` results from `index` on (the program asks for one).
uint32_t DL_FsSearchResults(uint8_t handle, uint16_t index, uint16_t* count, FS_SEARCH_RESULT_T* results);
uint32_t DL_FsSearchClose(uint8_t handle);

ZQ_END_DECLS
