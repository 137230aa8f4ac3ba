#include "tools/zqsim/session.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "sim/driver.h"
#include "sim/host/media_ffmpeg/media_probe.h"
#include "tools/zqsim/image_check.h"
#include "tools/zqsim/run_notes.h"

#ifndef ZQ_DEFAULT_IMAGE_DIR
#define ZQ_DEFAULT_IMAGE_DIR "build/images"
#endif
#ifndef ZQ_DEFAULT_GB2UC_MAP
#define ZQ_DEFAULT_GB2UC_MAP "build/gb2uc.map"
#endif

namespace zqsim {
namespace {

constexpr uintmax_t kGb2ucBytes = 15228;

bool probe_quiet(const char* host_path, uint32_t* length_ms, void*) {
  return zq::media::probe_length_ms(host_path, length_ms, nullptr);
}

bool probe_verbose(const char* host_path, uint32_t* length_ms, void*) {
  std::string why;
  if (zq::media::probe_length_ms(host_path, length_ms, &why)) return true;
  fprintf(stderr, "zqsim: cannot decode %s: %s\n", host_path, why.c_str());
  return false;
}

// Screenshots must be writable before the run starts, not only when the
// first one is due: the folder is made if need be and a file is written to
// it and removed again.
std::string shots_problem(const std::string& dir) {
  if (dir.empty()) return "";
  std::error_code ec;
  if (std::filesystem::exists(dir, ec) && !std::filesystem::is_directory(dir, ec))
    return "--shots " + dir + " is not a folder";
  std::filesystem::create_directories(dir, ec);
  if (ec) return "--shots: cannot make the folder " + dir + ": " + ec.message();
  std::string probe = dir + "/.zqsim-XXXXXX";
  int fd = mkstemp(probe.data());
  if (fd < 0) return "--shots: cannot write into the folder " + dir + ": " + strerror(errno);
  close(fd);
  unlink(probe.c_str());
  return "";
}

// Tells, in one line each, which tracks of the folder the phone's limits
// leave out of the list.
void note_folder_limits(const PhoneFs& fs) {
  std::string folder_uri = fs.start_uri.substr(0, fs.start_uri.rfind('/') + 1);
  std::filesystem::path folder = fs.root + "/" + folder_uri.substr(std::string("file://b/").size());
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    std::error_code ec2;
    if (entry.is_regular_file(ec2)) names.push_back(entry.path().filename().string());
  }
  size_t folder_units = 0;
  for (unsigned char c : folder_uri) folder_units += (c & 0xC0) != 0x80 ? (c >= 0xF0 ? 2 : 1) : 0;
  for (const std::string& note : folder_limit_notes(names, folder_units)) fprintf(stderr, "%s\n", note.c_str());
}

}  // namespace

void set_keypad_lock(bool locked, Trace* trace) {
  if (trace) trace->line(locked ? "lock on" : "lock off");
  sim::set_keypad_lock(locked);
}

void set_voice_call(bool active, Trace* trace) {
  if (trace) trace->line(active ? "call on" : "call off");
  sim::set_voice_call(active);
}

void set_front_other(bool other, Trace* trace) {
  if (trace) trace->line(other ? "front other" : "front idle");
  sim::set_front(other ? sim::Front::Other : sim::Front::Idle);
}

void forget_injected_keys() {
  sim::InjectedKey keys[64];
  while (sim::take_injected_keys(keys, 64) == 64) {
  }
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
  std::string map = options.gb2uc_map.empty() ? ZQ_DEFAULT_GB2UC_MAP : options.gb2uc_map;
  // A table given by name must be one; the build's own is only looked for.
  if (!options.gb2uc_map.empty() && std::filesystem::file_size(map, ec) != kGb2ucBytes) {
    *error = ec ? "no GB2312 table " + map : map + " is not a GB2312 table (" + std::to_string(kGb2ucBytes) + " bytes)";
    return false;
  }
  *error = shots_problem(options.shots_dir);
  if (!error->empty()) return false;
  if (!make_phone_fs(options.path, options.root, map, &fs_, error, &bad_input_)) return false;
  bad_input_ = false;
  prepared_ = true;
  note_folder_limits(fs_);
  if (!sim::set_root(fs_.root.c_str())) {
    *error = "the stand-in cannot use " + fs_.root + " as its root folder";
    return false;
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
  uint8_t id[8];
  if (!sim::file_id(fs_.start_uri.c_str(), id)) {
    *error = "the stand-in does not see " + fs_.start_uri;
    return false;
  }
  char text[17];
  sim::file_id_text(id, text);
  uint32_t lib_result = 0;
  if (!sim::load_image(image_path_.c_str(), text, options_.evcode_base, &lib_result)) {
    *error = "cannot load the image " + image_path_;
    return false;
  }
  if (lib_result == 0 && !sim::unload_requested()) {
    *error = "the image did not register (Lib returned 0)";
    return false;
  }
  return true;
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
