#include "drive/screen_shot.h"

#include "drive/png_file.h"
#include "sim/driver.h"
#include "sim/port.h"

namespace drive {
namespace {

constexpr int kScreenWidth = 176;
constexpr int kScreenHeight = 220;
constexpr char kKeyShotPrefix[] = "zqsim-";
constexpr uint32_t kMaxShotNumber = 999999999;

bool save_png(void*, const char* path, Text* error) {
  return write_png(path, sim::framebuffer_rgb(), kScreenWidth, kScreenHeight, error);
}

// Follows the highest number N among the names "zqsim-N.png" of a folder.
void note_shot_number(const char* name, bool is_dir, void* ctx) {
  uint32_t* highest = static_cast<uint32_t*>(ctx);
  size_t length = length_of(name);
  const size_t prefix = sizeof kKeyShotPrefix - 1;
  if (is_dir || length <= prefix + 4 || !starts_with(name, kKeyShotPrefix) || !same_text(name + length - 4, ".png"))
    return;
  size_t digits = length - prefix - 4;
  if (digits > 9) return;
  uint32_t n = 0;
  for (size_t i = prefix; i < prefix + digits; ++i) {
    if (name[i] < '0' || name[i] > '9') return;
    n = n * 10 + static_cast<uint32_t>(name[i] - '0');
  }
  if (n > *highest) *highest = n;
}

}  // namespace

bool player_screen_hidden() {
  sim::AppInfo shell{};
  bool shell_running = sim::shell_info(&shell) && shell.running;
  return !sim::canvas_exists() || !shell_running || sim::voice_call();
}

void show_phone_screen_if_hidden() {
  if (player_screen_hidden()) sim::draw_phone_screen();
}

uint32_t screen_crc32() {
  return crc32(sim::framebuffer_rgb(), static_cast<size_t>(kScreenWidth) * kScreenHeight * 3);
}

SaveScreen png_saver() {
  return SaveScreen{save_png, nullptr};
}

bool make_folders(const char* dir) {
  if (dir == nullptr || dir[0] == '\0') return false;
  if (sim::port::exists_dir(dir)) return true;
  Text path(dir);
  // Each folder on the way down, then the folder itself.
  for (size_t i = 1; i < path.size(); ++i) {
    if (path.c_str()[i] != '/') continue;
    Text upper;
    upper.append(path.c_str(), i);
    sim::port::make_dir(upper.c_str());
  }
  return sim::port::make_dir(dir);
}

bool take_shot(const char* dir, const char* name, Trace* trace, SaveScreen save, Text* error) {
  show_phone_screen_if_hidden();
  if (trace) trace->shot(name, screen_crc32());
  if (dir == nullptr || dir[0] == '\0') return true;
  if (!make_folders(dir)) {
    if (error) error->assign("cannot make the folder ");
    if (error) error->append(dir);
    return false;
  }
  Text path(dir);
  path.append('/').append(name).append(".png");
  return save(path.c_str(), error);
}

void next_key_shot_name(const char* dir, Text* out) {
  uint32_t highest = 0;
  sim::port::list_dir(dir, note_shot_number, &highest);
  out->assign(kKeyShotPrefix);
  out->append_number(highest < kMaxShotNumber ? highest + 1 : kMaxShotNumber);
}

void append_file_safe(Text* out, const char* name) {
  // A file name must not be empty or hidden.
  if (name[0] == '\0' || name[0] == '.') out->append('_');
  for (const char* p = name; *p != '\0'; ++p) {
    char c = *p;
    // Bytes of UTF-8 sequences stay: a Chinese track name keeps its name.
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
              c == '.' || (static_cast<unsigned char>(c) & 0x80) != 0;
    out->append(ok ? c : '_');
  }
}

}  // namespace drive
