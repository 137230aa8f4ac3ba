// zqlrc: the phone's own lyrics code on the command line.
//
//   zqlrc dump FILE [--table MAP] [--patch]
//       One JSON object: the load status, the detected encoding and, when the
//       lyrics load, the whole record. Exit 0 whatever the status.
//   zqlrc check [--length SECONDS] [--table MAP] [--patch] FILE...
//       A report per file for a person. Exit 1 when any file would show no
//       lyrics on the phone.
//
// Exit 2 for a usage error or a file that cannot be read. --patch runs the
// build that reads the GB2312 table from firmware memory (zqlrc-patch, which
// lies beside this program); without it the table is read from its file.
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "check_report.h"
#include "json_dump.h"
#include "phone_run.h"

namespace {

constexpr int kUsageError = 2;

int Usage(const char* problem) {
  fprintf(stderr,
          "zqlrc: %s\n"
          "usage: zqlrc dump FILE [--table MAP] [--patch]\n"
          "       zqlrc check [--length SECONDS] [--table MAP] [--patch] FILE...\n",
          problem);
  return kUsageError;
}

struct Args {
  std::string command;
  std::vector<std::string> files;
  std::string table = ZQLRC_DEFAULT_TABLE;
  bool patch = false;
  zqlrc::CheckOptions check;
};

bool ParseArgs(int argc, char** argv, Args* args, std::string* problem) {
  if (argc < 2) {
    *problem = "no command";
    return false;
  }
  args->command = argv[1];
  if (args->command != "dump" && args->command != "check") {
    *problem = "unknown command '" + args->command + "'";
    return false;
  }
  for (int k = 2; k < argc; ++k) {
    std::string arg = argv[k];
    if (arg == "--patch") {
      args->patch = true;
    } else if (arg == "--table" || arg == "--length") {
      if (k + 1 >= argc) {
        *problem = arg + " needs a value";
        return false;
      }
      std::string value = argv[++k];
      if (arg == "--table") {
        args->table = value;
        continue;
      }
      char* end = nullptr;
      long long seconds = strtoll(value.c_str(), &end, 10);
      if (args->command != "check" || value.empty() || *end != '\0' || seconds < 0) {
        *problem = "--length takes a whole number of seconds, with check";
        return false;
      }
      args->check.length_seconds = seconds;
    } else if (arg.size() > 1 && arg[0] == '-') {
      *problem = "unknown option '" + arg + "'";
      return false;
    } else {
      args->files.push_back(arg);
    }
  }
  if (args->files.empty() || (args->command == "dump" && args->files.size() != 1)) {
    *problem = args->command == "dump" ? "dump takes one FILE" : "check takes at least one FILE";
    return false;
  }
  return true;
}

#ifndef PATCH
// Hands the whole command to the sibling built with the table in firmware memory.
int RunPatchBuild(char** argv) {
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return Usage("cannot find the program's own folder for --patch");
  self[n] = '\0';
  std::string sibling(self);
  sibling = sibling.substr(0, sibling.rfind('/') + 1) + "zqlrc-patch";
  execv(sibling.c_str(), argv);
  fprintf(stderr, "zqlrc: cannot run %s for --patch: %s\n", sibling.c_str(), strerror(errno));
  return kUsageError;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  Args args;
  std::string problem;
  if (!ParseArgs(argc, argv, &args, &problem)) return Usage(problem.c_str());
#ifndef PATCH
  if (args.patch) return RunPatchBuild(argv);
#endif
  zqlrc::PhoneRun run;
  zqlrc::TableSetup table{args.table, ZQLRC_PATCH_BUILD != 0};
  if (!run.SetTable(table, &problem)) {
    fprintf(stderr, "zqlrc: %s\n", problem.c_str());
    return kUsageError;
  }
  bool unreadable = false;
  bool all_show = true;
  for (const std::string& file : args.files) {
    zqlrc::LoadOutcome outcome;
    if (!run.Load(file, &outcome, &problem)) {
      fprintf(stderr, "zqlrc: %s\n", problem.c_str());
      unreadable = true;
      continue;
    }
    if (args.command == "dump") {
      printf("%s\n", zqlrc::DumpJson(outcome).c_str());
    } else {
      std::u16string units;
      if (outcome.encoding > 0) units = run.Convert(outcome.bytes, (uint8_t)outcome.encoding);
      std::string report;
      all_show = zqlrc::CheckReport(file, outcome, units, args.check, &report) && all_show;
      fputs(report.c_str(), stdout);
    }
    DESTROY_LRC(&outcome.lrc);
  }
  if (unreadable) return kUsageError;
  return all_show ? 0 : 1;
}
