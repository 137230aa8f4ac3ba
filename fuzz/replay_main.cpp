// SPDX-License-Identifier: MIT
// Replays corpora through a fuzz target's entry point, in builds without
// libFuzzer: every file of every folder given, in name order.
//
// With --results FILE it also pins what the target makes of each input
// (fuzz::Result): one line per input, its name and the result, compared with
// FILE (ZQ_UPDATE_GOLDENS=1 rewrites it). The corpus so guards the results
// themselves, not only the target's checks.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/harness.h"

// A target that needs no start leaves this out, as libFuzzer allows.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// Compares the results with the pinned ones, or rewrites them; false when
// they differ.
bool CheckResults(const std::string& path, const std::string& results) {
  const char* update = getenv("ZQ_UPDATE_GOLDENS");
  if (update != nullptr && strcmp(update, "1") == 0) {
    std::ofstream(path) << results;
    return true;
  }
  std::ifstream in(path);
  std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (expected == results) return true;
  // The inputs whose result changed, for the one who changed it.
  std::istringstream want(expected), got(results);
  std::string a, b;
  while (std::getline(got, b)) {
    if (!std::getline(want, a)) a.clear();
    if (a != b) fprintf(stderr, "replay: expected \"%s\", got \"%s\"\n", a.c_str(), b.c_str());
  }
  fprintf(stderr, "replay: results differ from %s (ZQ_UPDATE_GOLDENS=1 rewrites it)\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
  std::string results_path;
  std::vector<std::filesystem::path> files;
  for (int k = 1; k < argc; ++k) {
    if (strcmp(argv[k], "--results") == 0 && k + 1 < argc) {
      results_path = argv[++k];
    } else if (std::filesystem::is_directory(argv[k])) {
      for (const auto& entry : std::filesystem::directory_iterator(argv[k])) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
    } else {
      files.emplace_back(argv[k]);
    }
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    fprintf(stderr, "replay: no inputs\n");
    return 1;
  }
  if (!results_path.empty() && fuzz::Result == nullptr) {
    fprintf(stderr, "replay: this target pins no results\n");
    return 1;
  }
  std::ostringstream results;
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      fprintf(stderr, "replay: cannot read %s\n", file.c_str());
      return 1;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A copy of exactly the input's size, so that a read past its end is
    // one past a block (the sanitizers see it).
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    LLVMFuzzerTestOneInput(exact.get(), bytes.size());
    if (!results_path.empty())
      results << file.filename().string() << ' ' << fuzz::Result(exact.get(), bytes.size()) << '\n';
  }
  if (!results_path.empty() && !CheckResults(results_path, results.str())) return 1;
  printf("replay: %zu inputs, all clean%s\n", files.size(), results_path.empty() ? "" : ", results as pinned");
  return 0;
}
