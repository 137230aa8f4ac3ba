// SPDX-License-Identifier: MIT
// A temporary folder that stands for the phone's volume "file://b/", removed
// when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/types.h"
#include "sim/driver.h"
#include "sim/internal.h"

namespace zq_test {

class TempTree {
 public:
  TempTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zq_fs_XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    EXPECT_NE(made, nullptr);
    root_ = pattern;
  }
  ~TempTree() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  const std::string& Root() const { return root_; }
  // Writes a file at a path relative to the root, making its folders.
  void Write(const std::string& rel, const std::string& bytes) const {
    std::filesystem::path p = std::filesystem::path(root_) / rel;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
  }
  void Mkdir(const std::string& rel) const { std::filesystem::create_directories(std::filesystem::path(root_) / rel); }

 private:
  std::string root_;
};

// A zero-terminated 16-bit string from UTF-8.
inline std::u16string U16(const std::string& utf8) {
  std::u16string out(utf8.size() + 1, u'\0');
  size_t n = sim::internal::Utf8ToUtf16(utf8.c_str(), out.data(), out.size());
  out.resize(n);
  return out;
}

inline std::string U8(const WCHAR* s) {
  std::string out(1024, '\0');
  out.resize(sim::internal::Utf16ToUtf8(s, out.data(), out.size()));
  return out;
}

}  // namespace zq_test
