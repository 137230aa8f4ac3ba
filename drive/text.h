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
  explicit Text(const char* s) { append(s); }
  ~Text() { chars_.release(); }
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;

  Text& append(const char* s);
  Text& append(const char* s, size_t n);
  Text& append(char c) { return append(&c, 1); }
  Text& append(const Text& t) { return append(t.c_str(), t.size()); }
  Text& append_number(uint32_t v);
  // Eight lower-case hexadecimal digits.
  Text& append_hex8(uint32_t v);
  void assign(const char* s) {
    clear();
    append(s);
  }

  const char* c_str() const { return chars_.size() > 0 ? &chars_[0] : ""; }
  size_t size() const { return chars_.size() > 0 ? chars_.size() - 1 : 0; }
  bool empty() const { return size() == 0; }
  void clear() { chars_.cut(0); }
  // Keeps the first `n` bytes.
  void cut(size_t n);
  bool complete() const { return !lost_; }

 private:
  sim::PortArray<char> chars_{};
  bool lost_ = false;
};

// Small helpers on zero-terminated text.
size_t length_of(const char* s);
bool same_text(const char* a, const char* b);
bool starts_with(const char* s, const char* prefix);

}  // namespace drive
