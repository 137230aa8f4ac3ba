// SPDX-License-Identifier: MIT
#include "tools/zqweb/fix_run.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "options.h"
#include "tools/zqbox/qemu_run.h"
#include "tools/zqweb/page_job.h"

namespace zqweb {

namespace {

namespace fs = std::filesystem;

constexpr int kFailed = 2;
constexpr const char* kOut = "/out";

const char* FixUsage() {
  return "usage: zqweb fix FILE... [--out DIR] [--to ENC] [--from ENC] [--join-same-time]\n"
         "zqlrc fix run by the page zq-player.html in headless Chromium: the page's\n"
         "own zqlrc (WebAssembly, the browser's decoders) writes what the page\n"
         "writes for a person. The options and exit status are zqlrc fix's\n"
         "(zqlrc --help); the page has its own GB2312 table, and writes into a\n"
         "folder only (no --table, --patch or --in-place).\n";
}

std::string BaseName(const std::string& path) {
  return fs::path(path).filename().string();
}

// The job: each file under a folder of its own (two files may share a name),
// the options as given, the output folder's files of the same names as they
// are (fix never replaces a file that differs).
bool MakeJob(int argc, char** argv, const zqlrc::Args& args, PageJob* job, std::string* error) {
  job->tool = "zqlrc";
  job->args = {"fix"};
  size_t next = 0;
  for (int k = 2; k < argc; ++k) {
    std::string arg = argv[k];
    if (arg == "--table" || arg == "--patch" || arg == "--in-place") {
      *error = arg + " is not for the page (zqweb fix --help)";
      return false;
    }
    if (arg == "--out") {
      job->args.insert(job->args.end(), {"--out", kOut});
      ++k;
    } else if (arg == "--to" || arg == "--from") {
      job->args.insert(job->args.end(), {arg, argv[++k]});
    } else if (next < args.files.size() && arg == args.files[next]) {
      std::string page = "/job/in/" + std::to_string(next) + "/" + BaseName(arg);
      job->args.push_back(page);
      // A file the host cannot read is not handed over: the page's zqlrc
      // then finds none and says so, as zqlrc does.
      std::error_code ec;
      if (fs::is_regular_file(arg, ec) && access(arg.c_str(), R_OK) == 0) job->AddFile(page, arg);
      job->renames.push_back({page, arg});
      ++next;
    } else {
      job->args.push_back(arg);
    }
  }
  if (args.fix.output != zqlrc::FixOutput::kFolder) return true;
  std::string folder = args.fix.folder;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    fs::create_directories(folder, ec);
    if (ec) {
      *error = "cannot make the folder " + folder + ": " + ec.message();
      return false;
    }
  }
  for (const std::string& file : args.files) {
    std::string there = folder + "/" + BaseName(file);
    if (fs::exists(there, ec)) {
      job->AddFile(std::string(kOut) + "/" + BaseName(file), there);
      job->keep.push_back(std::string(kOut) + "/" + BaseName(file));
    }
  }
  job->renames.push_back({std::string(kOut) + "/", folder + "/"});
  job->outputs.push_back({std::string(kOut) + "/", folder});
  return true;
}

}  // namespace

int RunFixCommand(int argc, char** argv, const Defaults& defaults) {
  zqlrc::Args args;
  bool help = false;
  std::string error;
  if (!zqlrc::ParseArgs(argc, argv, &args, &help, &error)) {
    fprintf(stderr, "zqweb: %s (zqweb fix --help)\n", error.c_str());
    return kFailed;
  }
  if (help) {
    fputs(FixUsage(), stdout);
    return 0;
  }
  PageJob job;
  if (!MakeJob(argc, argv, args, &job, &error)) {
    fprintf(stderr, "zqweb: %s\n", error.c_str());
    return kFailed;
  }
  std::string node = FindOnPath({"node", "nodejs"});
  const char* chromium_env = getenv("ZQ_CHROMIUM");
  job.chromium = chromium_env != nullptr ? chromium_env : FindOnPath({"chromium"});
  job.page = defaults.page;
  std::error_code ec;
  if (node.empty() || job.chromium.empty() || !fs::is_regular_file(job.page, ec)) {
    fprintf(stderr, "zqweb: fix needs node, chromium and the page %s (scripts/web)\n", job.page.c_str());
    return kFailed;
  }
  const char* tmp = getenv("TMPDIR");
  std::string temp_dir = std::string(tmp && *tmp ? tmp : "/tmp") + "/zqweb-fix.XXXXXX";
  if (mkdtemp(temp_dir.data()) == nullptr || !job.Write(temp_dir + "/job.json", &error)) {
    fprintf(stderr, "zqweb: cannot write the job in %s\n", temp_dir.c_str());
    return kFailed;
  }
  int sig = 0;
  int status = zqbox::RunBox({node, defaults.runner, temp_dir + "/job.json"}, &sig, &error);
  if (!error.empty()) fprintf(stderr, "zqweb: %s\n", error.c_str());
  fs::remove_all(temp_dir, ec);
  return sig != 0 ? kFailed : status;
}

}  // namespace zqweb
