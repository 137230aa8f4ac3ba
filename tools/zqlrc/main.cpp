// SPDX-License-Identifier: MIT
// zqlrc: the phone's own lyrics code on the command line (UsageText() says
// what each command does). --patch hands the whole command to zqlrc-patch,
// the build that reads the GB2312 table from firmware memory, which lies
// beside this program.
#include <errno.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "check_report.h"
#include "diagnosis.h"
#include "fix_command.h"
#include "fix_plan.h"
#include "json_dump.h"
#include "options.h"
#include "phone_run.h"
#include "scan_command.h"

namespace {

constexpr int kUsageError = 2;

#ifndef PATCH
int RunPatchBuild(char** argv) {
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) {
    fprintf(stderr, "zqlrc: cannot find the program's own folder for --patch\n");
    return kUsageError;
  }
  self[n] = '\0';
  std::string sibling(self);
  sibling = sibling.substr(0, sibling.rfind('/') + 1) + "zqlrc-patch";
  execv(sibling.c_str(), argv);
  fprintf(stderr, "zqlrc: cannot run %s for --patch: %s\n", sibling.c_str(), strerror(errno));
  return kUsageError;
}
#endif

// dump and check: the phone's loader over each file.
int RunLoads(const zqlrc::Args& args, zqlrc::PhoneRun& run) {
  bool unreadable = false;
  bool all_show = true;
  for (const std::string& file : args.files) {
    zqlrc::LoadOutcome outcome;
    std::string problem;
    if (!run.Load(file, &outcome, &problem)) {
      fprintf(stderr, "zqlrc: %s\n", problem.c_str());
      unreadable = true;
      continue;
    }
    if (args.command == "dump") {
      printf("%s\n", zqlrc::DumpJson(outcome).c_str());
    } else {
      std::u16string units = run.ConvertAsPhone(outcome.bytes);
      zqlrc::Diagnosis diagnosis;
      zqlrc::Diagnose(outcome.bytes, units, "", &diagnosis);
      zqlrc::FixPlan plan = zqlrc::PlanFix(outcome.bytes, zqlrc::FixOptions(), run);
      std::string report;
      all_show = zqlrc::CheckReport(file, outcome, units, diagnosis, plan, args.check, &report) && all_show;
      fputs(report.c_str(), stdout);
    }
    DESTROY_LRC(&outcome.lrc);
  }
  if (unreadable) return kUsageError;
  return all_show ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  zqlrc::Args args;
  bool help = false;
  std::string problem;
  if (!zqlrc::ParseArgs(argc, argv, &args, &help, &problem)) {
    fprintf(stderr, "zqlrc: %s (zqlrc --help lists the options)\n", problem.c_str());
    return kUsageError;
  }
  if (help) {
    fputs(zqlrc::UsageText(), stdout);
    return 0;
  }
#ifndef PATCH
  if (args.patch) return RunPatchBuild(argv);
#endif
  zqlrc::PhoneRun run;
  zqlrc::TableSetup table{args.table, ZQLRC_PATCH_BUILD != 0};
  if (!run.SetTable(table, &problem)) {
    fprintf(stderr, "zqlrc: %s\n", problem.c_str());
    return kUsageError;
  }
  if (args.command == "fix") {
    // A write past the file size limit then fails and is reported, instead
    // of ending the program with a half-written temporary file.
    signal(SIGXFSZ, SIG_IGN);
    return zqlrc::RunFix(args.files, args.fix, run);
  }
  if (args.command == "scan") return zqlrc::RunScan(args.files[0], args.lyrics_dir, run);
  return RunLoads(args, run);
}
