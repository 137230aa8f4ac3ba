// SPDX-License-Identifier: MIT
// PNG files of RGB pixels written without a compression library: the image
// data go into a zlib stream of stored (uncompressed) deflate blocks, which
// every PNG reader takes. The one writer of the project: the big-endian box
// has no libpng, and zqsim writes the same files with it.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "drive/text.h"

namespace drive {

// CRC-32 as zlib and PNG compute it; `crc` continues an earlier sum.
uint32_t Crc32(const uint8_t* bytes, size_t length, uint32_t crc = 0);

// Writes width x height 8-bit RGB pixels, row by row, to `path`; false with
// a reason in `error` when the file cannot be written.
bool WritePng(const char* path, const uint8_t* rgb, int width, int height, Text* error);

}  // namespace drive
