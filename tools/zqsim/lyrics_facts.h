// SPDX-License-Identifier: MIT
// Why a track shows its lyrics or not, as the stand-in saw it: where the
// program looked for the lyrics file, what it read, the encoding that the
// file's first bytes make the program detect, and the record it was left
// with.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace zqsim {

struct LyricsFacts {
  struct File {
    std::string uri;
    bool found = false;   // the program found it there
    bool opened = false;  // it was opened
    bool open_failed = false;
    uint32_t size = 0;  // when opened
    uint32_t read = 0;  // bytes read
    bool read_whole = false;
    uint8_t head[4] = {};  // its first bytes, when read from the start
    uint8_t head_len = 0;
  };
  bool track = false;         // a track was made current (and its lyrics looked for)
  std::vector<File> files;    // the files its lyrics load asked for, in order
  int lyrics_file = -1;       // index of the first file opened: the lyrics file
  int encoding = -1;          // what the program detects in it, -1 when nothing was read
  bool status_known = false;  // the program's record could be read
  uint8_t status = 100;       // the load status
  bool loaded = false;        // a lyrics record is there
  unsigned lines = 0, times = 0;
};

// Gathers the facts of the current track from the stand-in's file log and
// the program's state record.
LyricsFacts CurrentLyrics();

// Names for the panel.
const char* EncodingName(int code);
const char* StatusName(uint8_t status);
// The message the lyrics area shows for a status other than 0.
std::string StatusMessage(uint8_t status);

}  // namespace zqsim
