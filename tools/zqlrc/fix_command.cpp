// SPDX-License-Identifier: MIT
#include "fix_command.h"

#include <stdio.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "file_io.h"
#include "progress.h"

namespace zqlrc {

namespace {

constexpr int kRefused = 1;
constexpr int kFileError = 2;

std::string BaseName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Writes the plan into the folder; the report line's tail, and the exit code.
int IntoFolder(const FixPlan& plan, const std::string& file, const std::string& folder, std::string* line) {
  std::string target = folder + "/" + BaseName(file);
  std::string error;
  NewFile result = WriteNewFile(target, plan.bytes, &error);
  bool fixed = plan.action == FixAction::kWrite;
  switch (result) {
    case NewFile::kWritten:
      *line = fixed ? "fixed: " + plan.what + " -> " + target : "unchanged: " + plan.what + "; copied to " + target;
      return plan.left ? kRefused : 0;
    case NewFile::kAlreadyThere:
      *line = (fixed ? "fixed: " : "unchanged: ") + plan.what + "; " + target + " holds it already";
      return plan.left ? kRefused : 0;
    case NewFile::kExists:
      *line = "not written: " + target + " exists and differs (fix never replaces a file but with --in-place)";
      return kFileError;
    case NewFile::kFailed:
      break;
  }
  *line = "not written: " + error;
  return kFileError;
}

int InPlace(const FixPlan& plan, const std::string& file, std::string* line) {
  if (plan.action == FixAction::kKeep) {
    *line = "unchanged: " + plan.what;
    return plan.left ? kRefused : 0;
  }
  std::string error;
  if (!ReplaceFile(file, plan.bytes, &error)) {
    *line = "not written: " + error + "; the file is as it was";
    return kFileError;
  }
  *line = "fixed in place: " + plan.what;
  return plan.left ? kRefused : 0;
}

// The tally of a run over many files, for its last line.
struct Tally {
  size_t files = 0, fixed = 0, right = 0, left = 0, failed = 0;
  std::map<std::string, size_t> refused;  // by reason

  void Add(const FixPlan* plan, int code) {
    ++files;
    if (plan == nullptr || code == kFileError) {
      ++failed;
    } else if (plan->action == FixAction::kRefuse) {
      ++refused[plan->reason];
    } else if (plan->left) {
      ++left;
    } else if (plan->action == FixAction::kWrite) {
      ++fixed;
    } else {
      ++right;
    }
  }
  std::string Line() const {
    size_t refusals = 0;
    std::string reasons;
    for (const auto& [reason, count] : refused) {
      refusals += count;
      reasons += (reasons.empty() ? "" : ", ") + std::to_string(count) + " " + reason;
    }
    return Count(files, "file") + ": " + std::to_string(fixed) + " fixed, " + std::to_string(right) +
           " already right, " + std::to_string(left) + " with problems fix cannot mend, " + std::to_string(refusals) +
           " refused" + (reasons.empty() ? "" : " (" + reasons + ")") + ", " + std::to_string(failed) +
           " not read or not written";
  }
};

}  // namespace

int RunFix(const std::vector<std::string>& files, const FixCommand& command, const PhoneRun& phone) {
  std::error_code ec;
  if (command.output == FixOutput::kFolder && !std::filesystem::is_directory(command.folder, ec)) {
    std::filesystem::create_directories(command.folder, ec);
    if (ec) {
      fprintf(stderr, "zqlrc: cannot make the folder %s: %s\n", command.folder.c_str(), ec.message().c_str());
      return kFileError;
    }
  }
  int exit_code = 0;
  Tally tally;
  Progress progress("fix", files.size());
  for (const std::string& file : files) {
    FixPlan plan;
    std::vector<uint8_t> bytes;
    std::string line;
    int code = 0;
    if (!ReadWholeFile(file, &bytes, &line)) {
      code = kFileError;
      line = "not read: " + line;
    } else {
      plan = PlanFix(bytes, command.options, phone);
      if (plan.action == FixAction::kRefuse) {
        code = kRefused;
        line = "refused: " + plan.what;
      } else if (plan.action == FixAction::kKeep && plan.left) {
        // Nothing to change, and not right: not copied, so that a folder
        // of fixed files holds only files that are right.
        code = kRefused;
        line = "unchanged: " + plan.what;
      } else if (command.output == FixOutput::kFolder) {
        code = IntoFolder(plan, file, command.folder, &line);
      } else if (command.output == FixOutput::kInPlace) {
        code = InPlace(plan, file, &line);
      } else {
        line = (plan.action == FixAction::kWrite ? "would fix: " : "unchanged: ") + plan.what;
        code = plan.left ? kRefused : 0;
      }
    }
    printf("%s: %s\n", file.c_str(), line.c_str());
    tally.Add(code == kFileError ? nullptr : &plan, code);
    progress.Step();
    exit_code = std::max(exit_code, code);
  }
  progress.Done();
  if (files.size() > 1) printf("%s\n", tally.Line().c_str());
  return exit_code;
}

}  // namespace zqlrc
