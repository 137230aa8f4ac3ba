// SPDX-License-Identifier: MIT
// The driver's own PNG files (stored deflate blocks, no compression library)
// read back with libpng as the pixels written, and its CRC-32 is zlib's.
#include "drive/png_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "sim/host/png/png_writer.h"

TEST(PngFile, ReadsBackAsThePixelsWrittenAtEverySizeOfItsBlocks) {
  char dir[] = "/tmp/drive_png.XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  // Sizes around a stored block's 65535 bytes: rows of 1 + 3 * width bytes.
  const int sizes[][2] = {{1, 1}, {176, 220}, {21845, 1}, {21845, 2}, {7, 3121}, {300, 300}};
  for (const auto& size : sizes) {
    int w = size[0], h = size[1];
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7 + i / 251);
    std::string path = std::string(dir) + "/p.png";
    drive::Text error;
    ASSERT_TRUE(drive::WritePng(path.c_str(), rgb.data(), w, h, &error)) << error.CStr();
    sim::png::Image back;
    std::string why;
    ASSERT_TRUE(sim::png::ReadRgb(path.c_str(), &back, &why)) << why;
    EXPECT_EQ(back.width, w);
    EXPECT_EQ(back.height, h);
    EXPECT_EQ(back.rgb, rgb);
    EXPECT_EQ(drive::Crc32(rgb.data(), rgb.size()), sim::png::Crc32Rgb(rgb.data(), w, h));
    unlink(path.c_str());
  }
  drive::Text error;
  uint8_t pixel[3] = {};
  EXPECT_FALSE(drive::WritePng((std::string(dir) + "/no/such/folder.png").c_str(), pixel, 1, 1, &error));
  EXPECT_NE(std::string(error.CStr()).find("cannot write"), std::string::npos);
  rmdir(dir);
}

TEST(PngFile, Crc32IsZlibs) {
  const uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(drive::Crc32(check, sizeof check), 0xCBF43926u);
  EXPECT_EQ(drive::Crc32(check + 4, 5, drive::Crc32(check, 4)), 0xCBF43926u);
  EXPECT_EQ(drive::Crc32(nullptr, 0), 0u);
}
