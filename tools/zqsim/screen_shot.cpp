#include "tools/zqsim/screen_shot.h"

#include <algorithm>
#include <filesystem>

#include "sim/driver.h"
#include "sim/host/png/png_writer.h"

namespace zqsim {

bool player_screen_hidden() {
  sim::AppInfo shell{};
  bool shell_running = sim::shell_info(&shell) && shell.running;
  return !sim::canvas_exists() || !shell_running || sim::voice_call();
}

void show_phone_screen_if_hidden() {
  if (player_screen_hidden()) sim::draw_phone_screen();
}

bool take_shot(const std::string& dir, const std::string& name, Trace* trace, std::string* error) {
  show_phone_screen_if_hidden();
  if (trace) trace->shot(name, sim::png::framebuffer_crc32());
  if (dir.empty()) return true;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    if (error) *error = "cannot make the folder " + dir + ": " + ec.message();
    return false;
  }
  std::string path = dir + "/" + name + ".png";
  return sim::png::write_framebuffer(path.c_str(), error);
}

std::string next_key_shot_name(const std::string& dir) {
  unsigned long highest = 0;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
    std::string name = e.path().filename().string();
    if (name.rfind("zqsim-", 0) != 0 || name.size() <= 10 || name.compare(name.size() - 4, 4, ".png") != 0) continue;
    std::string digits = name.substr(6, name.size() - 10);
    if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9) continue;
    highest = std::max(highest, std::stoul(digits));
  }
  return "zqsim-" + std::to_string(highest + 1);
}

std::string file_safe(const std::string& name) {
  std::string out;
  for (char c : name) {
    // Bytes of UTF-8 sequences stay: a Chinese track name keeps its name.
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
              c == '.' || (static_cast<unsigned char>(c) & 0x80) != 0;
    out += ok ? c : '_';
  }
  if (out.empty() || out[0] == '.') out = "_" + out;
  return out;
}

}  // namespace zqsim
