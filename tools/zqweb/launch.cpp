// SPDX-License-Identifier: MIT
#include "tools/zqweb/launch.h"

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/zqbox/media_survey.h"
#include "tools/zqbox/qemu_run.h"
#include "tools/zqsim/run_checks.h"
#include "tools/zqweb/page_job.h"

namespace zqweb {

namespace fs = std::filesystem;

std::string FindOnPath(std::initializer_list<const char*> names) {
  const char* path = getenv("PATH");
  for (const char* name : names) {
    std::istringstream dirs(path != nullptr ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
      std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
      if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
  }
  return "";
}

bool Launch::Prepare(const zqsim::Options& options, std::string* error, bool* bad_input) {
  *bad_input = true;
  image_ = PageImage(options, &image_file_, error);
  if (image_.empty()) return false;
  return zqsim::PrepareLaunch(options, "zqweb", defaults_.gb2uc_map, &gb2uc_, &fs_, error, bad_input);
}

void Launch::RemoveTempFiles() {
  zqsim::RemovePhoneFs(&fs_);
  if (!temp_dir_.empty()) {
    std::error_code ec;
    fs::remove_all(temp_dir_, ec);
    temp_dir_.clear();
  }
}

bool Launch::WriteJob(const zqsim::Options& options, const std::string& chromium, std::string* error) {
  PageJob job;
  job.page = defaults_.page;
  job.chromium = chromium;
  std::string start_folder = fs_.start_uri.substr(9, fs_.start_uri.rfind('/') + 1 - 9);  // after "file://b/"
  std::string table = temp_dir_ + "/media.table";
  if (!zqbox::WriteMediaTable(fs_.root, start_folder, table, error)) return false;
  job.args = {"--image", image_, "--root", "/job/root", "--start", fs_.start_uri, "--media", "/job/media.table"};
  job.AddFile("/job/media.table", table);
  if (!image_file_.empty()) job.AddFile(image_, image_file_);
  if (!job.AddTree("/job/root", fs_.root, error)) return false;
  if (!options.script.empty()) {
    job.args.insert(job.args.end(), {"--script", "/job/script"});
    job.AddFile("/job/script", options.script);
  }
  if (!options.trace_file.empty()) {
    // A trace that cannot be written is found before the run, as the box
    // finds it.
    std::ofstream probe(options.trace_file, std::ios::binary | std::ios::app);
    if (!probe) {
      *error = "cannot write the trace " + options.trace_file;
      return false;
    }
    job.args.insert(job.args.end(), {"--trace", "/out/trace"});
    job.outputs.push_back({"/out/trace", options.trace_file});
  }
  if (!options.shots_dir.empty()) {
    // Shots are numbered on from the pictures already there: the page sees
    // their names (as empty files) and hands back only new ones.
    job.args.insert(job.args.end(), {"--shots", "/out/shots"});
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(options.shots_dir, ec))
      job.KeepEmpty("/out/shots/" + e.path().filename().string());
    job.outputs.push_back({"/out/shots/", options.shots_dir});
  }
  if (!gb2uc_.empty()) {
    job.args.insert(job.args.end(), {"--gb2uc", "/job/gb2uc.map"});
    job.AddFile("/job/gb2uc.map", gb2uc_);
  }
  if (!options.platform.empty()) job.args.insert(job.args.end(), {"--platform", options.platform});
  if (options.verbose) job.args.push_back("-v");
  return job.Write(temp_dir_ + "/job.json", error);
}

int Launch::Run(const zqsim::Options& options) {
  std::string error;
  bool bad_input = false;
  auto give_up = [&](const std::string& text, int status) {
    fprintf(stderr, "zqweb: %s\n", text.c_str());
    RemoveTempFiles();
    return status;
  };
  if (!Prepare(options, &error, &bad_input)) return give_up(error, bad_input ? 2 : 1);
  std::string node = FindOnPath({"node", "nodejs"});
  std::string chromium = getenv("ZQ_CHROMIUM") != nullptr ? getenv("ZQ_CHROMIUM") : FindOnPath({"chromium"});
  std::error_code ec;
  if (node.empty()) return give_up("node is not installed; install it with: apt-get install nodejs", 1);
  if (chromium.empty()) return give_up("chromium is not installed; install it with: apt-get install chromium", 1);
  if (!fs::is_regular_file(defaults_.page, ec))
    return give_up("no page " + defaults_.page + " (build it with scripts/web)", 1);
  fs::path modules = fs::path(defaults_.runner).parent_path() / "node_modules" / "puppeteer-core";
  if (!fs::is_directory(modules, ec)) return give_up("puppeteer-core is not installed (scripts/web installs it)", 1);
  temp_dir_ = zqsim::MakeTempFolder("zqweb", &error);
  if (temp_dir_.empty()) return give_up(error, 1);
  if (!WriteJob(options, chromium, &error)) return give_up(error, 1);
  int sig = 0;
  int status = zqbox::RunBox({node, defaults_.runner, temp_dir_ + "/job.json"}, &sig, &error);
  if (!error.empty()) fprintf(stderr, "zqweb: %s\n", error.c_str());
  RemoveTempFiles();
  if (sig == SIGINT || sig == SIGTERM || sig == SIGHUP || sig == SIGPIPE) {
    signal(sig, SIG_DFL);
    raise(sig);
  }
  if (sig != 0) fprintf(stderr, "zqweb: the page runner ended on signal %d (%s)\n", sig, strsignal(sig));
  return status;
}

}  // namespace zqweb
