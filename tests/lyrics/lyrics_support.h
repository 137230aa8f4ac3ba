// SPDX-License-Identifier: MIT
// Helpers of the lyrics tests: text in every encoding a lyrics file may use,
// a readable copy of a lyrics record, and a folder that stands for the
// phone's file system.
#pragma once

#include <stdint.h>

#include <string>
#include <utility>
#include <vector>

#include "lyrics/record.h"

namespace lyrics_test {

using Bytes = std::vector<uint8_t>;

// Text of the BMP (every test text is) in the encodings of lyrics files.
Bytes Utf8(const std::u16string& text, bool mark);
Bytes Utf16Le(const std::u16string& text, bool mark);
Bytes Utf16Be(const std::u16string& text, bool mark);
Bytes Gb2312(const std::u16string& text);  // every unit must have a GB2312 form
Bytes Raw(const std::string& bytes);

// Everything a record holds, as plain values that compare and print.
struct Record {
  std::u16string ti, ar, al, by;
  int16_t offset = 0;
  std::vector<std::u16string> lines;
  std::vector<std::pair<uint32_t, uint16_t>> times;
  bool operator==(const Record&) const = default;
};
Record Snapshot(const LRC* lrc);
std::string Describe(const Record& record);
std::string Describe(const std::u16string& text);
void PrintTo(const Record& record, std::ostream* os);

// Blocks the program holds now, to tell what a call left behind.
uint32_t LiveBlocks();

// A fresh folder under the system's temporary folder, made the stand-in's
// root ("file://b/"), with the lyrics folder in it. Removed by the destructor.
class PhoneFolder {
 public:
  PhoneFolder();
  ~PhoneFolder();
  const std::string& Path() const { return path_; }
  // Writes a file at a path relative to the root, making its folders.
  void Write(const std::string& relative, const Bytes& bytes) const;
  void Remove(const std::string& relative) const;
  // Places the build's GB2312 table as file://b/ELF/gb2uc.map.
  void PlaceTable() const;

 private:
  std::string path_;
};

// The build's table file, and its bytes.
const char* TablePath();
const Bytes& TableBytes();
// Entry k of the build's table.
uint16_t TableEntry(uint32_t k);

}  // namespace lyrics_test
