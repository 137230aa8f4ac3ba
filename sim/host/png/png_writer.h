// SPDX-License-Identifier: MIT
// Screenshots of the stand-in's screen as PNG files, reading them back for
// comparisons, and the screen checksum used in traces.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace sim::png {

constexpr int kScreenWidth = 176;
constexpr int kScreenHeight = 220;

// 8-bit RGB pixels, row by row, no padding.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

// Writes width x height RGB pixels; false (with a reason) when the file
// cannot be written.
bool WriteRgb(const char* path, const uint8_t* rgb, int width, int height, std::string* error = nullptr);
// Writes the stand-in's framebuffer (176 x 220).
bool WriteFramebuffer(const char* path, std::string* error = nullptr);
// Reads any 8-bit PNG (grey, palette or alpha are converted to RGB); false
// with a reason when the file is missing or not a PNG.
bool ReadRgb(const char* path, Image* out, std::string* error = nullptr);

// CRC-32 (zlib) of RGB pixels fed row by row.
uint32_t Crc32Rgb(const uint8_t* rgb, int width, int height);
uint32_t FramebufferCrc32();

}  // namespace sim::png
