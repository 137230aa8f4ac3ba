// SPDX-License-Identifier: MIT
#include "tools/zqsim/session.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "drive/start_image.h"
#include "sim/driver.h"
#include "sim/host/media_ffmpeg/media_probe.h"
#include "tools/zqsim/image_check.h"
#include "tools/zqsim/run_checks.h"

#ifndef ZQ_DEFAULT_IMAGE_DIR
#define ZQ_DEFAULT_IMAGE_DIR "build/images"
#endif
#ifndef ZQ_DEFAULT_GB2UC_MAP
#define ZQ_DEFAULT_GB2UC_MAP "build/gb2uc.map"
#endif

namespace zqsim {
namespace {

bool ProbeQuiet(const char* host_path, uint32_t* length_ms, void*) {
  return zq::media::ProbeLengthMs(host_path, length_ms, nullptr);
}

bool ProbeVerbose(const char* host_path, uint32_t* length_ms, void*) {
  std::string why;
  if (zq::media::ProbeLengthMs(host_path, length_ms, &why)) return true;
  fprintf(stderr, "zqsim: cannot decode %s: %s\n", host_path, why.c_str());
  return false;
}

}  // namespace

drive::HeadlessRun HeadlessRun(const Options& options) {
  return drive::HeadlessRun{"zqsim", options.shots_dir.c_str(), drive::PngSaver()};
}

std::string ImageFile(const Options& options) {
  std::string name = options.image;
  if (name.find('/') != std::string::npos) return name;
  if (name.size() < 3 || name.compare(name.size() - 3, 3, ".so") != 0) name += ".so";
  std::string dir = options.images_dir.empty() ? ZQ_DEFAULT_IMAGE_DIR : options.images_dir;
  return dir + "/" + name;
}

Session::~Session() {
  Finish();
}

bool Session::Prepare(const Options& options, std::string* error) {
  Finish();
  options_ = options;
  sim::Reset();
  image_path_ = ImageFile(options);
  bad_input_ = true;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(image_path_, ec)) {
    *error = MissingImageProblem(options, image_path_, ".so");
    return false;
  }
  *error = ImageProblem(image_path_);
  if (!error->empty()) return false;
  std::string map;
  if (!ChooseGb2uc(options, ZQ_DEFAULT_GB2UC_MAP, &map, error)) return false;
  *error = ShotsProblem(options.shots_dir);
  if (!error->empty()) return false;
  if (!MakePhoneFs(options.path, options.root, map, &fs_, error, &bad_input_, true)) return false;
  bad_input_ = false;
  prepared_ = true;
  NoteFolderLimits(fs_, "zqsim");
  if (!sim::SetRoot(fs_.root.c_str())) {
    *error = "the stand-in cannot use " + fs_.root + " as its root folder";
    return false;
  }
  for (const auto& [uri, dirs] : fs_.mounts) {
    std::vector<const char*> paths;
    for (const std::string& dir : dirs) paths.push_back(dir.c_str());
    if (!sim::MountFolder(uri.c_str(), paths.data(), paths.size())) {
      *error = "the stand-in cannot lay " + dirs.front() + " under " + uri;
      return false;
    }
  }
  // Without the table GB2312 lyrics cannot be read; the player reports that
  // itself, so a missing table is only a warning here.
  if (!sim::InstallGb2ucFile(map.c_str())) {
    fprintf(stderr, "zqsim: no usable GB2312 table at %s; GB2312 lyrics will not show\n", map.c_str());
  }
  sim::SetMediaProbe(options.verbose ? ProbeVerbose : ProbeQuiet, nullptr);
  if (!options.platform.empty()) sim::SetPlatformName(options.platform.c_str());
  volume_type_ = options.platform == AUD_PLATFORM_LTE ? AUD_VOLUME_TYPE_LTE : AUD_VOLUME_TYPE_DEFAULT;
  return true;
}

bool Session::Start(std::string* error) {
  drive::Text why;
  if (drive::StartImage(image_path_.c_str(), fs_.start_uri.c_str(), &why)) return true;
  *error = why.CStr();
  return false;
}

void Session::Finish() {
  if (!prepared_) return;
  sim::SetObserver(nullptr, nullptr);
  if (sim::ImageLoaded()) sim::UnloadImage();
  sim::SetMediaProbe(nullptr, nullptr);
  RemovePhoneFs(&fs_);
  prepared_ = false;
}

}  // namespace zqsim
