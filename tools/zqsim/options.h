// SPDX-License-Identifier: MIT
// zqsim's command line.
#pragma once

#include <stdint.h>

#include <string>

namespace zqsim {

struct Options {
  std::string path;  // audio file or folder to play
  std::string root;  // --root: "file://b/" as it is
  std::string image = "zq_player_blue";
  std::string images_dir;  // --images; default: the build's images folder
  std::string platform;    // --platform; empty leaves the stand-in's own name
  std::string script;      // --script FILE
  std::string shots_dir;   // --shots DIR
  std::string trace_file;  // --trace FILE; empty: stdout
  std::string gb2uc_map;   // --gb2uc FILE; default: the build's table
  int scale = 2;           // --scale N, window only
  bool headless = false;   // --headless
  bool until_end = false;  // --until-end
  bool verbose = false;    // -v: engine refusals and such on stderr
  bool key_map = false;    // --key-map: the window opens with the key map shown
};

// Parses argv. False with a message for the user when it is wrong; `help`
// is set for --help (then the result is true and nothing else matters).
bool ParseOptions(int argc, const char* const* argv, Options* out, bool* help, std::string* error);

}  // namespace zqsim
