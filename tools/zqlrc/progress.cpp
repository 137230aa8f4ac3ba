// SPDX-License-Identifier: MIT
#include "progress.h"

#include <stdio.h>
#include <unistd.h>

namespace zqlrc {

namespace {
constexpr size_t kEvery = 100;      // steps between two updates
constexpr size_t kFromTotal = 200;  // shorter runs show nothing
}  // namespace

Progress::Progress(const char* what, size_t total)
    : what_(what), total_(total), shown_(total >= kFromTotal && isatty(2) != 0) {}

void Progress::Step() {
  ++done_;
  if (shown_ && (done_ % kEvery == 0 || done_ == total_)) fprintf(stderr, "\r%s: %zu/%zu", what_, done_, total_);
}

void Progress::Done() {
  if (shown_) fprintf(stderr, "\r\033[K");
}

}  // namespace zqlrc
