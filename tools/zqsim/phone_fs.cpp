// SPDX-License-Identifier: MIT
#include "tools/zqsim/phone_fs.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "drive/file_names.h"
#include "platform/filesystem.h"
#include "playback/tracklist.h"

namespace fs = std::filesystem;

namespace zqsim {
namespace {

constexpr size_t kAudioFolderUnits = sizeof "file://b/mobile/audio/" - 1;

// The first audio file of a folder in name order (byte order of the names)
// that the player lists: a run started on a track the player leaves out of
// its list would never come back to it.
bool FirstTrack(const fs::path& dir, fs::path* out, std::string* error) {
  std::error_code ec;
  std::vector<std::string> names;
  size_t audio = 0;
  for (const auto& e : fs::directory_iterator(dir, ec)) {
    std::string name = e.path().filename().string();
    if (!IsAudioName(name) || !e.is_regular_file(ec)) continue;
    ++audio;
    if (PlayerLists(name, kAudioFolderUnits)) names.push_back(name);
  }
  if (ec) {
    *error = "cannot read the folder " + dir.string() + ": " + ec.message();
    return false;
  }
  if (names.empty()) {
    *error = audio == 0 ? "no *.mp3 or *.m4a file in " + dir.string()
                        : "no track of " + dir.string() + " that the player lists: it takes names of at most " +
                              std::to_string(TRACK_NAME_UNITS) + " units";
    return false;
  }
  std::sort(names.begin(), names.end());
  *out = dir / names.front();
  return true;
}

bool LinkInto(const fs::path& target, const fs::path& dir, std::string* error) {
  std::error_code ec;
  fs::create_symlink(target, dir / target.filename(), ec);
  if (ec) {
    *error = "cannot link " + target.string() + " into " + dir.string() + ": " + ec.message();
    return false;
  }
  return true;
}

// Links every regular file of `from` that `keep` accepts into `to`; a name
// already there (a lyrics file both beside the tracks and in lrc/) keeps the
// first one, the one in lrc/.
bool LinkFiles(const fs::path& from, const fs::path& to, bool (*keep)(const std::string&), std::string* error) {
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(from, ec)) {
    std::string name = e.path().filename().string();
    std::error_code ec2;
    if (!e.is_regular_file(ec2) || !keep(name)) continue;
    if (fs::exists(fs::symlink_status(to / name, ec2))) continue;
    if (!LinkInto(fs::absolute(e.path()), to, error)) return false;
  }
  if (ec) {
    *error = "cannot read the folder " + from.string() + ": " + ec.message();
    return false;
  }
  return true;
}

bool AnyFile(const std::string&) {
  return true;
}

// The temporary file system; on failure the caller removes temp_dir.
bool BuildTempTree(const fs::path& track, const std::string& gb2uc_map, bool mount, PhoneFs* out,
                     std::string* error) {
  const char* tmp = getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zqsim.XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    *error = "cannot make a temporary folder from " + pattern;
    return false;
  }
  out->temp_dir = pattern;
  fs::path root(pattern);
  fs::path audio = root / "mobile" / "audio";
  fs::path lrc = audio / "lrc";
  std::error_code ec;
  fs::create_directories(lrc, ec);
  if (!ec) fs::create_directories(root / "ELF", ec);
  if (ec) {
    *error = "cannot make folders in " + root.string() + ": " + ec.message();
    return false;
  }
  fs::path folder = track.parent_path();
  if (mount) {
    std::vector<std::string> lyrics;
    if (fs::is_directory(folder / "lrc", ec)) lyrics.push_back((folder / "lrc").string());
    lyrics.push_back(folder.string());
    out->mounts = {{"file://b/mobile/audio/", {folder.string()}}, {"file://b/mobile/audio/lrc/", lyrics}};
  } else {
    if (!LinkFiles(folder, audio, AnyFile, error)) return false;
    if (fs::is_directory(folder / "lrc", ec) && !LinkFiles(folder / "lrc", lrc, IsLyricsName, error)) return false;
    if (!LinkFiles(folder, lrc, IsLyricsName, error)) return false;
  }
  if (!gb2uc_map.empty() && fs::is_regular_file(gb2uc_map, ec)) {
    fs::create_symlink(fs::absolute(gb2uc_map), root / "ELF" / "gb2uc.map", ec);
  }
  out->root = root.string();
  out->start_uri = "file://b/mobile/audio/" + track.filename().string();
  return true;
}

}  // namespace

bool IsAudioName(const std::string& name) {
  return drive::IsAudioName(name.c_str());
}
bool IsLyricsName(const std::string& name) {
  return drive::EndsWithIgnoringCase(name.c_str(), ".lrc") || drive::EndsWithIgnoringCase(name.c_str(), ".txt");
}

size_t Utf16Units(const std::string& s) {
  size_t units = 0;
  for (unsigned char c : s) {
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte
    units += c >= 0xF0 ? 2 : 1;        // four bytes: a surrogate pair
  }
  return units;
}

bool PlayerLists(const std::string& name, size_t folder_units) {
  const size_t units = Utf16Units(name);
  return folder_units + units < FS_URI_UNITS && units <= TRACK_NAME_UNITS;
}

bool MakePhoneFs(const std::string& path, const std::string& root_dir, const std::string& gb2uc_map, PhoneFs* out,
                   std::string* error, bool* bad_input, bool mount) {
  bool ignored = false;
  if (bad_input == nullptr) bad_input = &ignored;
  *bad_input = true;
  std::error_code ec;
  // The folder is resolved, the name kept: a track given as a link plays
  // under the link's name, among the files of the link's folder.
  fs::path given = fs::absolute(path, ec).lexically_normal();
  if (!ec && given.has_filename()) given = fs::weakly_canonical(given.parent_path(), ec) / given.filename();
  if (ec || !fs::exists(given, ec)) {
    *error = "no such file or folder: " + path;
    return false;
  }
  fs::path track = given;
  if (fs::is_directory(given, ec)) {
    if (!FirstTrack(given, &track, error)) return false;
  } else if (!IsAudioName(given.filename().string())) {
    *error = path + " is not an *.mp3 or *.m4a file";
    return false;
  }
  PhoneFs result;
  if (!root_dir.empty()) {
    fs::path root = fs::weakly_canonical(fs::absolute(root_dir, ec), ec);
    if (ec || !fs::is_directory(root, ec)) {
      *error = "no such folder: " + root_dir;
      return false;
    }
    fs::path rel = track.lexically_relative(root);
    if (rel.empty() || rel.native().rfind("..", 0) == 0) {
      *error = track.string() + " does not lie in the root folder " + root.string();
      return false;
    }
    *bad_input = false;
    result.root = root.string();
    result.start_uri = "file://b/" + rel.generic_string();
    *out = result;
    return true;
  }
  *bad_input = false;
  if (!BuildTempTree(track, gb2uc_map, mount, &result, error)) {
    RemovePhoneFs(&result);
    return false;
  }
  *out = result;
  return true;
}

void RemovePhoneFs(PhoneFs* fs) {
  if (fs->temp_dir.empty()) return;
  std::error_code ec;
  // remove_all does not follow links: only the links and our folders go.
  fs::remove_all(fs->temp_dir, ec);
  fs->temp_dir.clear();
}

}  // namespace zqsim
