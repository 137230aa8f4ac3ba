// SPDX-License-Identifier: MIT
// Deterministic lyrics files for the benchmarks: typical songs of 2 to 5 KB,
// 40 to 80 lines, Chinese and English lines, some lines with two or three
// time tags (a chorus sung again), in each encoding a lyrics file may use.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace bench_songs {

enum class Encoding { kUtf8Mark, kUtf16Le, kUtf16Be, kGb2312 };

struct Song {
  std::u16string text;
  uint32_t lines = 0;  // timed lines
};

// The same seed always gives the same song.
Song MakeSong(uint32_t seed);
std::vector<uint8_t> Encode(const std::u16string& text, Encoding encoding);
const char* Name(Encoding encoding);
// The encoding of a name that Name gives; false for any other text.
bool FromName(const char* name, Encoding* encoding);

}  // namespace bench_songs
