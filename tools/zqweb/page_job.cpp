// SPDX-License-Identifier: MIT
#include "tools/zqweb/page_job.h"

#include <stdio.h>

#include <filesystem>
#include <fstream>

namespace zqweb {

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += (char)c;
    } else if (c < 0x20) {
      char escaped[8];
      snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += (char)c;
    }
  }
  return out + "\"";
}

bool PageJob::AddTree(const std::string& path, const std::string& from, std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::recursive_directory_iterator it(from, fs::directory_options::follow_directory_symlink, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    std::error_code ec2;
    if (it->is_regular_file(ec2))
      AddFile(path + "/" + it->path().lexically_relative(from).string(), it->path().string());
  }
  if (ec) {
    *error = "cannot read the folder " + from + ": " + ec.message();
    return false;
  }
  return true;
}

bool PageJob::Write(const std::string& json_file, std::string* error) const {
  std::string text = "{\"page\": " + JsonString(page) + ",\n\"chromium\": " + JsonString(chromium) + ",\n\"args\": [";
  for (size_t i = 0; i < args.size(); ++i) text += (i ? ", " : "") + JsonString(args[i]);
  text += "],\n\"files\": [";
  for (size_t i = 0; i < files.size(); ++i)
    text += std::string(i ? ",\n" : "") + "{\"path\": " + JsonString(files[i].path) +
            ", \"from\": " + JsonString(files[i].from) + "}";
  text += "],\n\"keep\": [";
  for (size_t i = 0; i < keep.size(); ++i) text += (i ? ", " : "") + JsonString(keep[i]);
  text += "],\n\"outputs\": [";
  for (size_t i = 0; i < outputs.size(); ++i)
    text += std::string(i ? ",\n" : "") + "{\"from\": " + JsonString(outputs[i].from) +
            ", \"to\": " + JsonString(outputs[i].to) + "}";
  text += "],\n\"tool\": " + JsonString(tool) + ",\n\"renames\": [";
  for (size_t i = 0; i < renames.size(); ++i)
    text +=
        std::string(i ? ",\n" : "") + "[" + JsonString(renames[i].first) + ", " + JsonString(renames[i].second) + "]";
  text += "]}\n";
  std::ofstream out(json_file, std::ios::binary);
  out << text;
  out.close();
  if (!out) {
    *error = "cannot write " + json_file;
    return false;
  }
  return true;
}

}  // namespace zqweb
