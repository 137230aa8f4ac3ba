// SPDX-License-Identifier: MIT
// Runs the phone's own lyrics loader on a host file: the file is placed in the
// lyrics folder of a temporary phone folder, under the name of a track, and
// the program's GetLRCFile reads it exactly as the phone would.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "lyrics/record.h"

namespace zqlrc {

// The GB2312 table the run uses, placed once per process.
struct TableSetup {
  std::string path;  // host path of the 15228-byte table
  bool patch;        // the build reads it from firmware memory
};

struct LoadOutcome {
  std::vector<uint8_t> bytes;  // the file's contents as read on the host
  uint8_t status = 0;          // the load status the phone would have
  int encoding = -1;           // detection code, or -1 when the status came first
  LRC* lrc = nullptr;          // the record on status 0; the caller frees it
};

class PhoneRun {
 public:
  PhoneRun();
  ~PhoneRun();
  PhoneRun(const PhoneRun&) = delete;
  PhoneRun& operator=(const PhoneRun&) = delete;

  // Prepares the table; false with a message when it cannot be used.
  bool SetTable(const TableSetup& table, std::string* error);
  // Loads one host file; false with a message when it cannot be read at all.
  bool Load(const std::string& host_file, LoadOutcome* out, std::string* error);
  // Converts bytes with the program's converters, as the parser does.
  std::u16string Convert(const std::vector<uint8_t>& bytes, uint8_t code) const;
  // The phone's detection code of the bytes, or -1 when the loader refuses
  // them before detection (empty, or longer than the phone reads).
  static int Detect(const std::vector<uint8_t>& bytes);
  // Detects and converts, as the phone does; empty when it converts nothing.
  std::u16string ConvertAsPhone(const std::vector<uint8_t>& bytes) const;
  // The load status the phone's parser gives these bytes.
  static uint8_t ParseStatus(const std::vector<uint8_t>& bytes);
  // What the phone's loader makes of a lyrics file of these bytes.
  static LoadOutcome Outcome(const std::vector<uint8_t>& bytes);
  // The folder that stands for "file://b/".
  const std::string& Root() const { return root_; }

 private:
  std::string root_;
};

}  // namespace zqlrc
