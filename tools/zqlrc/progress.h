// SPDX-License-Identifier: MIT
// Progress of a long run over many files or tracks, on stderr when it is a
// terminal ("scan: 1200/10000"), cleared at the end; nothing otherwise.
#pragma once

#include <stddef.h>

namespace zqlrc {

class Progress {
 public:
  Progress(const char* what, size_t total);
  void Step();
  void Done();

 private:
  const char* what_;
  size_t total_;
  size_t done_ = 0;
  bool shown_;
};

}  // namespace zqlrc
