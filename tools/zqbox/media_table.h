// SPDX-License-Identifier: MIT
// The media facts of a run, as the launcher found them on the host with the
// FFmpeg probe zqsim uses: every track's length, and which files cannot be
// decoded and why. The box has no FFmpeg; its engine asks this table, so
// that both front ends see the same media.
//
// The table is a text file, one file a line, its path relative to the root
// folder last:
//   <length in ms> TAB <path>
//   - TAB <why it cannot be decoded> TAB <path>
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "drive/text.h"
#include "sim/port_array.h"

namespace zqbox {

class MediaTable {
 public:
  MediaTable() = default;
  ~MediaTable();
  MediaTable(const MediaTable&) = delete;
  MediaTable& operator=(const MediaTable&) = delete;

  // Reads a table; false with a reason when it cannot be read or a line is
  // not of the form above.
  bool Parse(const char* text, size_t length, drive::Text* error);
  bool Load(const char* path, drive::Text* error);

  // What the table says of the file at `path` (relative to the root): true
  // with its length when it can be decoded; false when it cannot (with the
  // reason) or is not in the table.
  bool Lookup(const char* path, uint32_t* length_ms, const char** why) const;

  // Installs the table as the media engine's probe for files under `root`;
  // with `verbose`, every file the engine cannot decode is named on stderr
  // as "<program>: cannot decode PATH: WHY", as zqsim -v names it.
  void Install(const char* root, bool verbose, const char* program);

  uint32_t Size() const { return entries_.Size(); }

 private:
  struct Entry {
    uint32_t length_ms;
    bool decodable;
    uint32_t path_at;  // offsets of zero-terminated texts in chars_
    uint32_t why_at;
  };
  static bool Probe(const char* host_path, uint32_t* length_ms, void* ctx);
  uint32_t Keep(const char* text, size_t length);

  sim::PortArray<Entry> entries_{};
  sim::PortArray<char> chars_{};
  drive::Text root_;
  bool verbose_ = false;
  const char* program_ = "";
};

}  // namespace zqbox
