// SPDX-License-Identifier: MIT
#include "tools/zqsim/run_checks.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>

#include "drive/image_names.h"
#include "platform/filesystem.h"
#include "playback/tracklist.h"

namespace zqsim {
namespace {

constexpr uintmax_t kGb2ucBytes = 15228;

}  // namespace

bool ChooseGb2uc(const Options& options, const std::string& default_map, std::string* map, std::string* error) {
  *map = options.gb2uc_map.empty() ? default_map : options.gb2uc_map;
  if (options.gb2uc_map.empty()) return true;
  std::error_code ec;
  if (std::filesystem::file_size(*map, ec) == kGb2ucBytes) return true;
  *error = ec ? "no GB2312 table " + *map : *map + " is not a GB2312 table (" + std::to_string(kGb2ucBytes) + " bytes)";
  return false;
}

// Screenshots must be writable before the run starts, not only when the
// first one is due: the folder is made if need be and a file is written to
// it and removed again.
std::string ShotsProblem(const std::string& dir) {
  if (dir.empty()) return "";
  std::error_code ec;
  if (std::filesystem::exists(dir, ec) && !std::filesystem::is_directory(dir, ec))
    return "--shots " + dir + " is not a folder";
  std::filesystem::create_directories(dir, ec);
  if (ec) return "--shots: cannot make the folder " + dir + ": " + ec.message();
  std::string probe = dir + "/.zqsim-XXXXXX";
  int fd = mkstemp(probe.data());
  if (fd < 0) return "--shots: cannot write into the folder " + dir + ": " + strerror(errno);
  close(fd);
  unlink(probe.c_str());
  return "";
}

std::vector<std::string> FolderLimitNotes(const std::vector<std::string>& names, size_t folder_units,
                                          const char* program) {
  size_t searched = 0, too_long = 0;
  for (const std::string& name : names) {
    if (!IsAudioName(name)) continue;
    searched += folder_units + Utf16Units(name) < FS_URI_UNITS;
    too_long += !PlayerLists(name, folder_units);
  }
  std::vector<std::string> notes;
  std::string prefix = std::string(program) + ": ";
  if (too_long > 0) {
    notes.push_back(prefix + std::to_string(too_long) +
                    " track(s) of the folder are not listed: the player takes names of at most " +
                    std::to_string(TRACK_NAME_UNITS) + " units in paths of at most " +
                    std::to_string(FS_URI_UNITS - 1));
  }
  if (searched > UINT16_MAX) {
    notes.push_back(prefix + "the folder has " + std::to_string(searched) + " tracks; the phone lists the first " +
                    std::to_string(UINT16_MAX) + " in name order");
  }
  return notes;
}

void NoteFolderLimits(const PhoneFs& fs, const char* program) {
  std::string folder_uri = fs.start_uri.substr(0, fs.start_uri.rfind('/') + 1);
  std::filesystem::path folder = fs.root + "/" + folder_uri.substr(std::string("file://b/").size());
  for (const auto& [uri, dirs] : fs.mounts)
    if (uri == folder_uri) folder = dirs.front();
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    std::error_code ec2;
    if (entry.is_regular_file(ec2)) names.push_back(entry.path().filename().string());
  }
  size_t folder_units = Utf16Units(folder_uri);
  for (const std::string& note : FolderLimitNotes(names, folder_units, program)) fprintf(stderr, "%s\n", note.c_str());
}

std::string MissingImageProblem(const Options& options, const std::string& path, const char* suffix) {
  if (drive::IsImageName(options.image.c_str(), suffix))
    return "no image " + path + " (build it, or give --images DIR)";
  if (options.image.find('/') != std::string::npos) return "no image file " + options.image;
  drive::Text names;
  drive::AppendImageNames(&names);
  return "unknown image " + options.image + " (" + names.CStr() + ")";
}

bool PrepareLaunch(const Options& options, const char* program, const std::string& default_map, std::string* map,
                   PhoneFs* fs, std::string* error, bool* bad_input) {
  *bad_input = true;
  if (!ChooseGb2uc(options, default_map, map, error)) return false;
  *error = ShotsProblem(options.shots_dir);
  if (!error->empty()) return false;
  if (!MakePhoneFs(options.path, options.root, *map, fs, error, bad_input)) return false;
  NoteFolderLimits(*fs, program);
  *bad_input = false;
  return true;
}

std::string MakeTempFolder(const char* program, std::string* error) {
  const char* tmp = getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + program + ".XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr) return pattern;
  *error = "cannot make a temporary folder from " + pattern;
  return "";
}

}  // namespace zqsim
