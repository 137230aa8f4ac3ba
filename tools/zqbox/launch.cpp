// SPDX-License-Identifier: MIT
#include "tools/zqbox/launch.h"

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <filesystem>

#include "tools/zqbox/media_survey.h"
#include "tools/zqbox/phone_image.h"
#include "tools/zqbox/qemu_run.h"
#include "tools/zqsim/run_checks.h"

namespace zqbox {

bool Launch::Prepare(const zqsim::Options& options, std::string* error, bool* bad_input) {
  *bad_input = true;
  image_ = PhoneImageFile(options, defaults_.phone_dir);
  *error = PhoneImageProblem(options, image_);
  if (!error->empty()) return false;
  return zqsim::PrepareLaunch(options, "zqbox", defaults_.gb2uc_map, &gb2uc_, &fs_, error, bad_input);
}

void Launch::RemoveTempFiles() {
  zqsim::RemovePhoneFs(&fs_);
  if (!table_dir_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(table_dir_, ec);
    table_dir_.clear();
  }
}

int Launch::Run(const zqsim::Options& options) {
  std::string error;
  bool bad_input = false;
  if (!Prepare(options, &error, &bad_input)) {
    fprintf(stderr, "zqbox: %s\n", error.c_str());
    RemoveTempFiles();
    return bad_input ? 2 : 1;
  }
  std::string qemu = FindQemu();
  if (qemu.empty()) {
    fprintf(stderr, "zqbox: qemu-armeb is not installed; install it with: apt-get install qemu-user\n");
    RemoveTempFiles();
    return 1;
  }
  std::error_code ec;
  if (!std::filesystem::is_regular_file(defaults_.box_program, ec)) {
    fprintf(stderr, "zqbox: no box program %s (build the target zqbox_program)\n", defaults_.box_program.c_str());
    RemoveTempFiles();
    return 1;
  }
  table_dir_ = zqsim::MakeTempFolder("zqbox", &error);
  if (table_dir_.empty()) {
    fprintf(stderr, "zqbox: %s\n", error.c_str());
    RemoveTempFiles();
    return 1;
  }
  std::string table = table_dir_ + "/media.table";
  std::string start_folder = fs_.start_uri.substr(9, fs_.start_uri.rfind('/') + 1 - 9);  // after "file://b/"
  if (!WriteMediaTable(fs_.root, start_folder, table, &error)) {
    fprintf(stderr, "zqbox: %s\n", error.c_str());
    RemoveTempFiles();
    return 1;
  }
  std::vector<std::string> args = {"--image", image_, "--root", fs_.root, "--start", fs_.start_uri, "--media", table};
  auto add = [&](const char* flag, const std::string& value) {
    if (value.empty()) return;
    args.push_back(flag);
    args.push_back(value);
  };
  // Paths the box opens are its own: relative ones count from the same
  // working folder, which the box shares with the launcher.
  add("--script", options.script);
  add("--trace", options.trace_file);
  add("--shots", options.shots_dir);
  add("--gb2uc", gb2uc_);
  add("--platform", options.platform);
  if (options.verbose) args.push_back("-v");
  int sig = 0;
  int status = RunBox(BoxCommand(qemu, defaults_.box_program, args), &sig, &error);
  if (!error.empty()) fprintf(stderr, "zqbox: %s\n", error.c_str());
  RemoveTempFiles();
  if (sig == SIGINT || sig == SIGTERM || sig == SIGHUP || sig == SIGPIPE) {
    // Stopped from outside: the launcher ends as the box did.
    signal(sig, SIG_DFL);
    raise(sig);
  }
  if (sig != 0) fprintf(stderr, "zqbox: the box program ended on signal %d (%s)\n", sig, strsignal(sig));
  return status;
}

}  // namespace zqbox
