// SPDX-License-Identifier: MIT
// The job zqweb hands the page runner (run_page.js) as a JSON file: the page,
// Chromium, the arguments of the run inside the page, the host files to put
// into the page's file system first, and where the files the run writes go.
#pragma once

#include <string>
#include <vector>

namespace zqweb {

struct PageJob {
  struct File {
    std::string path;  // in the page
    std::string from;  // host file; "" for an empty file
  };
  struct Output {
    std::string from;  // in the page; ending in "/" for a folder's files
    std::string to;    // host file or folder
  };
  std::string page;
  std::string chromium;
  std::string tool;  // "" for the stand-in's run, "zqlrc" for zqlrc's
  std::vector<std::string> args;
  std::vector<File> files;
  std::vector<std::string> keep;  // files in the page that are not handed back
  std::vector<Output> outputs;
  // Page paths in the run's output and notes, and the host paths they stand for.
  std::vector<std::pair<std::string, std::string>> renames;

  void AddFile(const std::string& path, const std::string& from) { files.push_back({path, from}); }
  // An empty file that stands for one that exists on the host.
  void KeepEmpty(const std::string& path) {
    files.push_back({path, ""});
    keep.push_back(path);
  }
  // Every file under the host folder `from` (links followed), under `path`.
  bool AddTree(const std::string& path, const std::string& from, std::string* error);
  bool Write(const std::string& json_file, std::string* error) const;
};

// `text` as a JSON string, quotes included.
std::string JsonString(const std::string& text);

}  // namespace zqweb
