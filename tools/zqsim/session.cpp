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
#include "sim/host/png/png_writer.h"
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

bool probe_quiet(const char* host_path, uint32_t* length_ms, void*) {
  return zq::media::probe_length_ms(host_path, length_ms, nullptr);
}

bool probe_verbose(const char* host_path, uint32_t* length_ms, void*) {
  std::string why;
  if (zq::media::probe_length_ms(host_path, length_ms, &why)) return true;
  fprintf(stderr, "zqsim: cannot decode %s: %s\n", host_path, why.c_str());
  return false;
}

// zqsim's screenshots are written with libpng.
bool save_with_libpng(void*, const char* path, drive::Text* error) {
  std::string why;
  if (sim::png::write_framebuffer(path, &why)) return true;
  if (error) error->assign(why.c_str());
  return false;
}

}  // namespace

drive::HeadlessRun headless_run(const Options& options) {
  return drive::HeadlessRun{"zqsim", options.shots_dir.c_str(), libpng_saver()};
}

drive::SaveScreen libpng_saver() {
  return drive::SaveScreen{save_with_libpng, nullptr};
}

bool is_image_name(const std::string& name) {
  std::string base = name;
  if (base.size() > 3 && base.compare(base.size() - 3, 3, ".so") == 0) base.resize(base.size() - 3);
  for (const char* known : {"zq_player_blue", "zq_player_blue_patch", "zq_player", "zq_player_patch"})
    if (base == known) return true;
  return false;
}

std::string image_file(const Options& options) {
  std::string name = options.image;
  if (name.find('/') != std::string::npos) return name;
  if (name.size() < 3 || name.compare(name.size() - 3, 3, ".so") != 0) name += ".so";
  std::string dir = options.images_dir.empty() ? ZQ_DEFAULT_IMAGE_DIR : options.images_dir;
  return dir + "/" + name;
}

Session::~Session() {
  finish();
}

bool Session::prepare(const Options& options, std::string* error) {
  finish();
  options_ = options;
  sim::reset();
  image_path_ = image_file(options);
  bad_input_ = true;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(image_path_, ec)) {
    if (is_image_name(options.image))
      *error = "no image " + image_path_ + " (build it, or give --images DIR)";
    else if (options.image.find('/') != std::string::npos)
      *error = "no image file " + options.image;
    else
      *error = "unknown image " + options.image + " (zq_player_blue, zq_player_blue_patch, zq_player, zq_player_patch)";
    return false;
  }
  *error = image_problem(image_path_);
  if (!error->empty()) return false;
  std::string map;
  if (!choose_gb2uc(options, ZQ_DEFAULT_GB2UC_MAP, &map, error)) return false;
  *error = shots_problem(options.shots_dir);
  if (!error->empty()) return false;
  if (!make_phone_fs(options.path, options.root, map, &fs_, error, &bad_input_, true)) return false;
  bad_input_ = false;
  prepared_ = true;
  note_folder_limits(fs_, "zqsim");
  if (!sim::set_root(fs_.root.c_str())) {
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
  if (!sim::install_gb2uc_file(map.c_str())) {
    fprintf(stderr, "zqsim: no usable GB2312 table at %s; GB2312 lyrics will not show\n", map.c_str());
  }
  sim::set_media_probe(options.verbose ? probe_verbose : probe_quiet, nullptr);
  if (!options.platform.empty()) sim::set_platform_name(options.platform.c_str());
  volume_type_ = options.platform == "LTE" ? 4 : 2;
  return true;
}

bool Session::start(std::string* error) {
  drive::Text why;
  if (drive::start_image(image_path_.c_str(), fs_.start_uri.c_str(), &why)) return true;
  *error = why.c_str();
  return false;
}

void Session::finish() {
  if (!prepared_) return;
  sim::set_observer(nullptr, nullptr);
  if (sim::image_loaded()) sim::unload_image();
  sim::set_media_probe(nullptr, nullptr);
  remove_phone_fs(&fs_);
  prepared_ = false;
}

}  // namespace zqsim
