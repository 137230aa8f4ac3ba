// SPDX-License-Identifier: MIT
// One zqweb run on the host's side: what was asked for checked as zqsim
// checks it, the phone's file system built, the media probed with zqsim's
// FFmpeg probe (a browser measures a track's length otherwise), and the page
// run in headless Chromium by the runner (run_page.js) with all of it.
#pragma once

#include <string>
#include <vector>

#include "tools/zqsim/options.h"
#include "tools/zqsim/phone_fs.h"

namespace zqweb {

struct Defaults {
  std::string page;    // the built page, zq-player.html
  std::string runner;  // run_page.js, with its node_modules beside it
  std::string gb2uc_map;
};

class Launch {
 public:
  explicit Launch(Defaults defaults) : defaults_(std::move(defaults)) {}
  ~Launch() { RemoveTempFiles(); }

  // Runs the page; returns the exit status. Mistakes in what was asked for
  // are one line on stderr and exit status 2, before anything runs.
  int Run(const zqsim::Options& options);
  void RemoveTempFiles();

 private:
  bool Prepare(const zqsim::Options& options, std::string* error, bool* bad_input);
  bool WriteJob(const zqsim::Options& options, const std::string& chromium, std::string* error);

  Defaults defaults_;
  std::string image_;       // the page's path of the image
  std::string image_file_;  // the host file of an image given by path, else ""
  std::string gb2uc_;
  zqsim::PhoneFs fs_;
  std::string temp_dir_;
};

// The image's path in the page for --image NAME (a build the page carries,
// "/images/NAME.wasm") or "" with *file set to the host file to hand over
// (a path, or NAME in --images DIR); "" with *error when there is none.
std::string PageImage(const zqsim::Options& options, std::string* file, std::string* error);

// The first of `names` on the PATH that can be run, or "".
std::string FindOnPath(std::initializer_list<const char*> names);

}  // namespace zqweb
