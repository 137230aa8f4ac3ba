// SPDX-License-Identifier: MIT
#include "fix_command.h"

#include <stdio.h>

#include <algorithm>
#include <filesystem>

#include "file_io.h"

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
      return 0;
    case NewFile::kAlreadyThere:
      *line = (fixed ? "fixed: " : "unchanged: ") + plan.what + "; " + target + " holds it already";
      return 0;
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
    return 0;
  }
  std::string error;
  if (!ReplaceFile(file, plan.bytes, &error)) {
    *line = "not written: " + error + "; the file is as it was";
    return kFileError;
  }
  *line = "fixed in place: " + plan.what;
  return 0;
}

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
  for (const std::string& file : files) {
    std::vector<uint8_t> bytes;
    std::string line;
    int code = 0;
    if (!ReadWholeFile(file, &bytes, &line)) {
      code = kFileError;
      line = "not read: " + line;
    } else {
      FixPlan plan = PlanFix(bytes, command.options, phone);
      if (plan.action == FixAction::kRefuse) {
        code = kRefused;
        line = "refused: " + plan.what;
      } else if (command.output == FixOutput::kFolder) {
        code = IntoFolder(plan, file, command.folder, &line);
      } else if (command.output == FixOutput::kInPlace) {
        code = InPlace(plan, file, &line);
      } else {
        line = (plan.action == FixAction::kWrite ? "would fix: " : "unchanged: ") + plan.what;
      }
    }
    printf("%s: %s\n", file.c_str(), line.c_str());
    exit_code = std::max(exit_code, code);
  }
  return exit_code;
}

}  // namespace zqlrc
