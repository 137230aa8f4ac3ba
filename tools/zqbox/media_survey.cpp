// SPDX-License-Identifier: MIT
#include "tools/zqbox/media_survey.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "sim/host/media_ffmpeg/media_probe.h"
#include "tools/zqsim/phone_fs.h"

namespace zqbox {
namespace {

// A reason goes on one line between tabs.
std::string OneField(std::string s) {
  std::replace_if(
      s.begin(), s.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
  return s.empty() ? "cannot be decoded" : s;
}

}  // namespace

bool WriteMediaTable(const std::string& root, const std::string& folder, const std::string& table_path,
                     std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(fs::path(root) / folder, ec)) {
    std::string name = e.path().filename().string();
    std::error_code ec2;
    // A name with a line feed cannot go into the table; the box then finds
    // no entry for it and takes it as a file it cannot decode.
    if (zqsim::IsAudioName(name) && e.is_regular_file(ec2) && name.find('\n') == std::string::npos)
      names.push_back(name);
  }
  if (ec) {
    *error = "cannot read the folder " + (fs::path(root) / folder).string() + ": " + ec.message();
    return false;
  }
  std::sort(names.begin(), names.end());
  std::ofstream out(table_path, std::ios::binary);
  std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  for (const std::string& name : names) {
    std::string path = (fs::path(root) / folder / name).string();
    uint32_t ms = 0;
    std::string why;
    if (zq::media::ProbeLengthMs(path.c_str(), &ms, &why))
      out << ms << '\t' << prefix << name << '\n';
    else
      out << "-\t" << OneField(why) << '\t' << prefix << name << '\n';
  }
  out.close();
  if (!out) {
    *error = "cannot write the media table " + table_path;
    return false;
  }
  return true;
}

}  // namespace zqbox
