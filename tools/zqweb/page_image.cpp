// SPDX-License-Identifier: MIT
// Which program image a zqweb run asks for: one of the four builds the page
// carries, or a WebAssembly image file given by path (the page checks its
// imports when it loads it).
#include <filesystem>
#include <fstream>

#include "drive/image_names.h"
#include "tools/zqweb/launch.h"

namespace zqweb {
namespace {

std::string WithoutSuffix(std::string name) {
  if (name.size() > 5 && name.compare(name.size() - 5, 5, ".wasm") == 0) name.resize(name.size() - 5);
  return name;
}

}  // namespace

std::string PageImage(const zqsim::Options& options, std::string* file, std::string* error) {
  file->clear();
  std::string name = WithoutSuffix(options.image);
  const bool known = drive::IsImageName(name.c_str(), "");
  if (options.image.find('/') == std::string::npos) {
    if (!known) {
      drive::Text names;
      drive::AppendImageNames(&names);
      *error = "unknown image " + options.image + " (" + names.CStr() + ")";
      return "";
    }
    if (options.images_dir.empty()) return "/images/" + name + ".wasm";
    *file = options.images_dir + "/" + name + ".wasm";
  } else {
    *file = options.image;
  }
  std::error_code ec;
  if (!std::filesystem::is_regular_file(*file, ec)) {
    *error = "no image file " + *file;
    return "";
  }
  char magic[4] = {};
  std::ifstream in(*file, std::ios::binary);
  in.read(magic, sizeof magic);
  if (!in || magic[0] != '\0' || magic[1] != 'a' || magic[2] != 's' || magic[3] != 'm') {
    *error = *file + " is not a page image (zqweb runs the WebAssembly images of build/web)";
    return "";
  }
  return "/job/image.wasm";
}

}  // namespace zqweb
