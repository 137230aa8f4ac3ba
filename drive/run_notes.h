// SPDX-License-Identifier: MIT
// The front ends' notes on stderr: one line each, also without -v, for what a
// person would otherwise be left to guess: a track skipped because its file
// is missing, a track that broke off, and why the player ended.
#pragma once

#include <stdint.h>

#include "drive/text.h"
#include "drive/trace.h"
#include "sim/driver.h"

namespace drive {

class RunNotes {
 public:
  // Each note is one line, "<program>: <note>": to `write` without its
  // newline when given, else to stderr.
  explicit RunNotes(const char* program, Callback<void(const char* line)> write = {})
      : program_(program), write_(write) {}

  // Follows the stand-in's facts. A skipped or broken track is noted once
  // per run, however often the list comes back to it.
  void Fact(sim::Fact fact, uint32_t value, const char* text);
  // fact() as a trace's listener (Trace::on_note).
  FactListener Listener();

 private:
  void Note(const Text& text);
  void NoteOnce(const Text& key, const Text& text);

  const char* program_;
  Callback<void(const char* line)> write_;
  // The keys of the notes made, each with its terminating zero.
  Text noted_;
  // A track file was found missing and no track has been opened since: an
  // end of the player now comes from there being nothing left to play.
  bool missing_since_track_ = false;
};

}  // namespace drive
