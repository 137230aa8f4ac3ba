// SPDX-License-Identifier: MIT
// What the fuzz targets share: a check that stops the run with a reason, the
// stand-in's memory books around one input, a phone folder with the GB2312
// table, and a reader that takes an input apart.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

#include "sim/driver.h"

namespace fuzz {

// Stops the run (the fuzzer keeps the input) when `condition` fails.
// Ends the run with `what` on stderr (a finding).
[[noreturn]] void Fail(const char* what);
inline void Require(bool condition, const char* what) {
  if (!condition) Fail(what);
}

// The stand-in's allocator over one input: every block given back, none
// freed twice, none written outside itself.
class MemoryBooks {
 public:
  MemoryBooks() : before_(sim::GetMemoryStats()) {}
  void RequireBalanced() const;

 private:
  sim::MemoryStats before_;
};

// A temporary folder as the phone's card, holding the GB2312 table both as
// the file "file://b/ELF/gb2uc.map" and in firmware memory (PATCH builds),
// so that GB2312 text converts in every build. Returns the folder.
std::string SetUpPhoneFolder();

// Takes an input apart from its front.
class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return at_ == size_; }
  // The next byte, or 0 at the end.
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  // The bytes up to the next `separator` (which is skipped) or the end.
  std::string Until(uint8_t separator);
  // Everything not yet taken.
  std::string Rest();

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// What the replay pins of each input (see replay_main.cpp); a target that
// pins nothing leaves it undefined.
std::string Result(const uint8_t* data, size_t size) __attribute__((weak));

}  // namespace fuzz
