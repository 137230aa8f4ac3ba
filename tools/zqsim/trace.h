// zqsim's trace: one line per fact the firmware stand-in sees, the virtual
// time in milliseconds first. Built only from the stand-in's observer facts
// and its canvas call log, so the same program gives the same trace however
// it is driven.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <functional>
#include <string>

#include "sim/driver.h"

namespace zqsim {

class Trace {
 public:
  // Lines go to `out` (not owned); null keeps no lines but still follows the
  // facts for the listeners.
  explicit Trace(FILE* out) : out_(out) {}

  // Installs itself as the stand-in's observer; detach() removes it.
  void attach();
  void detach();

  // Writes "<now> <text>" as one line.
  void line(const std::string& text);
  void shot(const std::string& name, uint32_t crc);

  // Facts for the runner, called after the line has been written.
  std::function<void(sim::Fact, uint32_t value, const char* text)> on_fact;
  // Facts for zqsim's notes on stderr (RunNotes), called before on_fact.
  std::function<void(sim::Fact, uint32_t value, const char* text)> on_note;

  uint32_t lines_written() const { return lines_; }

  // A muted trace writes no more lines (a play-through that has come back to
  // its first track stops its trace there, mid-event).
  void mute() { muted_ = true; }

 private:
  static void observe(sim::Fact fact, uint32_t value, const char* text, void* ctx);
  void handle(sim::Fact fact, uint32_t value, const char* text);
  void report_lyrics();

  FILE* out_;
  uint32_t lines_ = 0;
  bool muted_ = false;
};

}  // namespace zqsim
