// SPDX-License-Identifier: MIT
#include "fuzz/harness.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

namespace fuzz {

void Fail(const char* what) {
  fprintf(stderr, "fuzz: %s\n", what);
  abort();
}

void MemoryBooks::RequireBalanced() const {
  sim::MemoryStats now = sim::GetMemoryStats();
  Require(now.live_blocks == before_.live_blocks, "a block was not given back");
  Require(now.bad_frees == before_.bad_frees, "a block was freed twice or was never the allocator's");
  Require(now.overruns == before_.overruns, "a block was written outside itself");
}

namespace {

std::string g_root;

void RemovePhoneFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(g_root, ignored);
}

}  // namespace

std::string SetUpPhoneFolder() {
  // One folder per process: several fuzzers may run at once.
  g_root = (std::filesystem::temp_directory_path() / ("zq-fuzz-" + std::to_string(getpid()))).string();
  std::filesystem::create_directories(g_root);
  atexit(RemovePhoneFolder);
  const std::string& root = g_root;
  Require(sim::SetRoot(root.c_str()), "the stand-in refuses the phone folder");
  Require(sim::InstallGb2ucFile(ZQ_GB2UC_MAP), "no GB2312 table at " ZQ_GB2UC_MAP);
  return root;
}

std::string Reader::Until(uint8_t separator) {
  size_t start = at_;
  while (at_ < size_ && data_[at_] != separator) ++at_;
  std::string part((const char*)data_ + start, at_ - start);
  if (at_ < size_) ++at_;
  return part;
}

std::string Reader::Rest() {
  std::string part((const char*)data_ + at_, size_ - at_);
  at_ = size_;
  return part;
}

}  // namespace fuzz
