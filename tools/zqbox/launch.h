// SPDX-License-Identifier: MIT
// One zqbox run on the host's side: what was asked for checked as zqsim
// checks it, the phone's file system built, the media probed, and the box
// program started under qemu-armeb with all of it.
#pragma once

#include <string>

#include "tools/zqsim/options.h"
#include "tools/zqsim/phone_fs.h"

namespace zqbox {

struct Defaults {
  std::string phone_dir;    // the build's phone images
  std::string gb2uc_map;    // the build's GB2312 table
  std::string box_program;  // the build's box program (zqbox.elf)
};

class Launch {
 public:
  explicit Launch(Defaults defaults) : defaults_(std::move(defaults)) {}
  ~Launch() { RemoveTempFiles(); }

  // Runs the box; returns the exit status. Mistakes in what was asked for
  // are one line on stderr and exit status 2, before anything runs.
  int Run(const zqsim::Options& options);

  // Removes the phone's file system and the media table, if made; safe to
  // call from a signal handler's path once the box has ended.
  void RemoveTempFiles();

 private:
  bool Prepare(const zqsim::Options& options, std::string* error, bool* bad_input);

  Defaults defaults_;
  std::string image_;
  std::string gb2uc_;
  zqsim::PhoneFs fs_;
  std::string table_dir_;
};

}  // namespace zqbox
