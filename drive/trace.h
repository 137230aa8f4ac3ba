// SPDX-License-Identifier: MIT
// The trace: one line per fact the firmware stand-in sees, the virtual time
// in milliseconds first. Built only from the stand-in's observer facts and
// its canvas call log, so the same program gives the same trace however it
// is driven, in zqsim or in the big-endian box.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "drive/callback.h"
#include "drive/text.h"
#include "sim/driver.h"

namespace drive {

// Where text goes: bytes and their count.
using Output = Callback<void(const char* text, size_t length)>;
// The process's standard output and errors, through the stand-in's port.
Output StandardOutput();
Output StandardErrors();

// A file the trace goes to, made with open(); closed when this goes.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile() { Close(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // Creates or empties the file; false when it cannot be written.
  bool Open(const char* path);
  void Close();
  Output AsOutput();

 private:
  int fd_ = -1;
};

// Writes "<program>: <text>" and a newline to stderr: a front end's notes
// and refusals.
void Say(const char* program, const char* text);

using FactListener = Callback<void(sim::Fact fact, uint32_t value, const char* text)>;

class Trace {
 public:
  // Lines go to `out`; an empty output keeps no lines but still follows the
  // facts for the listeners.
  explicit Trace(Output out) : out_(out) {}

  // Installs itself as the stand-in's observer; detach() removes it.
  void Attach();
  void Detach();

  // Writes "<now> <text>" as one line.
  void line(const char* text);
  void Shot(const char* name, uint32_t crc);

  // Facts for the front end's notes on stderr, then for the runner; both
  // are called after the line has been written.
  FactListener on_note;
  FactListener on_fact;

  uint32_t LinesWritten() const { return lines_; }

  // A muted trace writes no more lines (a play-through that has come back to
  // its first track stops its trace there, mid-event).
  void Mute() { muted_ = true; }

 private:
  static void Observe(sim::Fact fact, uint32_t value, const char* text, void* ctx);
  void Handle(sim::Fact fact, uint32_t value, const char* text);
  void ReportLyrics();

  Output out_;
  Text line_;
  uint32_t lines_ = 0;
  bool muted_ = false;
};

}  // namespace drive
