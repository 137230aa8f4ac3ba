// SPDX-License-Identifier: MIT
// Text that grows as it is written, in memory from the stand-in's port: the
// driver's strings, where the host would use std::string. Always
// zero-terminated. When memory runs out the text stops growing (and says so
// in complete()); nothing is written past its buffer.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "sim/port_array.h"

namespace drive {

class Text {
 public:
  Text() = default;
  explicit Text(const char* s) { Append(s); }
  ~Text() { chars_.Release(); }
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;

  Text& Append(const char* s);
  Text& Append(const char* s, size_t n);
  Text& Append(char c) { return Append(&c, 1); }
  Text& Append(const Text& t) { return Append(t.CStr(), t.Size()); }
  Text& AppendNumber(uint32_t v);
  // Eight lower-case hexadecimal digits.
  Text& AppendHex8(uint32_t v);
  void Assign(const char* s) {
    Clear();
    Append(s);
  }

  const char* CStr() const { return chars_.Size() > 0 ? &chars_[0] : ""; }
  size_t Size() const { return chars_.Size() > 0 ? chars_.Size() - 1 : 0; }
  bool Empty() const { return Size() == 0; }
  void Clear() { chars_.Cut(0); }
  // Keeps the first `n` bytes.
  void Cut(size_t n);
  bool Complete() const { return !lost_; }

 private:
  sim::PortArray<char> chars_{};
  bool lost_ = false;
};

// Small helpers on zero-terminated text.
size_t LengthOf(const char* s);
bool SameText(const char* a, const char* b);
bool StartsWith(const char* s, const char* prefix);

}  // namespace drive
