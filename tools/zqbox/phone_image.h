// SPDX-License-Identifier: MIT
// The phone image a zqbox run asks for, checked on the host before the box
// starts, with the stand-in's own loader: a file that is not a phone image
// the loader takes is refused in one line, before anything runs.
#pragma once

#include <string>

#include "tools/zqsim/options.h"

namespace zqbox {

// The image file for a name ("zq_player" or "zq_player.elf", in --images DIR
// or the build's phone images) or a path.
std::string PhoneImageFile(const zqsim::Options& options, const std::string& default_dir);

// Why the image cannot be run, or "" when it can: no such file, not a phone
// image (a host image, not an ELF file, refused by the loader's checks), or
// an import the stand-in does not offer.
std::string PhoneImageProblem(const zqsim::Options& options, const std::string& path);

}  // namespace zqbox
