// SPDX-License-Identifier: MIT
// Reading with libpng in its simplified API (no setjmp handling of our own,
// errors come back in the image's message); writing and the checksum are the
// driver's own (drive/png_file.h), as every front end writes its pictures.
#include "sim/host/png/png_writer.h"

#include <png.h>

#include <cstring>

#include "drive/png_file.h"
#include "sim/driver.h"

namespace sim::png {
namespace {

void SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

}  // namespace

bool WriteRgb(const char* path, const uint8_t* rgb, int width, int height, std::string* error) {
  if (!path || !rgb || width <= 0 || height <= 0) {
    SetError(error, "nothing to write");
    return false;
  }
  drive::Text why;
  if (drive::WritePng(path, rgb, width, height, &why)) return true;
  SetError(error, why.CStr());
  return false;
}

bool WriteFramebuffer(const char* path, std::string* error) {
  return WriteRgb(path, FramebufferRgb(), kScreenWidth, kScreenHeight, error);
}

bool ReadRgb(const char* path, Image* out, std::string* error) {
  if (!path || !out) {
    SetError(error, "nowhere to read into");
    return false;
  }
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path)) {
    SetError(error, std::string(path) + ": " + image.message);
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    SetError(error, std::string(path) + ": " + image.message);
    png_image_free(&image);
    return false;
  }
  out->width = (int)image.width;
  out->height = (int)image.height;
  out->rgb = std::move(pixels);
  return true;
}

uint32_t Crc32Rgb(const uint8_t* rgb, int width, int height) {
  uint32_t crc = 0;
  if (!rgb || width <= 0 || height <= 0) return crc;
  const size_t row_bytes = (size_t)width * 3;
  for (int y = 0; y < height; ++y) crc = drive::Crc32(rgb + (size_t)y * row_bytes, row_bytes, crc);
  return crc;
}

uint32_t FramebufferCrc32() {
  return Crc32Rgb(FramebufferRgb(), kScreenWidth, kScreenHeight);
}

}  // namespace sim::png
