// SPDX-License-Identifier: MIT
#include "tools/zqbox/phone_image.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "sim/elf_image.h"
#include "sim/service_table.h"
#include "tools/zqsim/run_checks.h"

namespace zqbox {
namespace {

bool Resolve(const char* name, uint32_t* address, void*) {
  // Only whether the stand-in offers the service matters here.
  *address = 0;
  return sim::ServiceAddress(name) != nullptr;
}

}  // namespace

std::string PhoneImageFile(const zqsim::Options& options, const std::string& default_dir) {
  std::string name = options.image;
  if (name.find('/') != std::string::npos) return name;
  if (name.size() < 4 || name.compare(name.size() - 4, 4, ".elf") != 0) name += ".elf";
  return (options.images_dir.empty() ? default_dir : options.images_dir) + "/" + name;
}

std::string PhoneImageProblem(const zqsim::Options& options, const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    return zqsim::MissingImageProblem(options, path, ".elf");
  }
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A host shared object: little-endian, of type ET_DYN.
  bool elf = bytes.size() >= 20 && bytes[0] == 0x7F && bytes[1] == 'E' && bytes[2] == 'L' && bytes[3] == 'F';
  if (elf && bytes[5] == 1 && bytes[16] == 3 && bytes[17] == 0)
    return path + " is a host image; zqbox runs the phone images (build/<preset>/phone/*.elf)";
  if (bytes.size() > sim::elf::kMaxImageBytes * 2u) return path + " is not a player image (too large)";
  char why[192];
  sim::elf::Layout layout{};
  if (!sim::elf::Check(bytes.data(), bytes.size(), &layout, why, sizeof why))
    return path + " is not a player image (" + why + ")";
  std::vector<uint8_t> memory(layout.memory_bytes);
  if (!sim::elf::Relocate(bytes.data(), layout, memory.data(), 0, Resolve, nullptr, why, sizeof why))
    return path + " is not a player image (" + why + ")";
  return "";
}

}  // namespace zqbox
