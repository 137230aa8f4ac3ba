// SPDX-License-Identifier: MIT
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

bool SavePng(void*, const char* path, Text* error) {
  return WritePng(path, sim::FramebufferRgb(), kScreenWidth, kScreenHeight, error);
}

// Follows the highest number N among the names "zqsim-N.png" of a folder.
void NoteShotNumber(const char* name, bool is_dir, void* ctx) {
  uint32_t* highest = static_cast<uint32_t*>(ctx);
  size_t length = LengthOf(name);
  const size_t prefix = sizeof kKeyShotPrefix - 1;
  if (is_dir || length <= prefix + 4 || !StartsWith(name, kKeyShotPrefix) || !SameText(name + length - 4, ".png"))
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

bool PlayerScreenHidden() {
  sim::AppInfo shell{};
  bool shell_running = sim::ShellInfo(&shell) && shell.running;
  return !sim::CanvasExists() || !shell_running || sim::VoiceCall();
}

void ShowPhoneScreenIfHidden() {
  if (PlayerScreenHidden()) sim::DrawPhoneScreen();
}

uint32_t ScreenCrc32() {
  return Crc32(sim::FramebufferRgb(), static_cast<size_t>(kScreenWidth) * kScreenHeight * 3);
}

SaveScreen PngSaver() {
  return SaveScreen{SavePng, nullptr};
}

bool MakeFolders(const char* dir) {
  if (dir == nullptr || dir[0] == '\0') return false;
  if (sim::port::ExistsDir(dir)) return true;
  Text path(dir);
  // Each folder on the way down, then the folder itself.
  for (size_t i = 1; i < path.Size(); ++i) {
    if (path.CStr()[i] != '/') continue;
    Text upper;
    upper.Append(path.CStr(), i);
    sim::port::MakeDir(upper.CStr());
  }
  return sim::port::MakeDir(dir);
}

bool TakeShot(const char* dir, const char* name, Trace* trace, SaveScreen save, Text* error) {
  ShowPhoneScreenIfHidden();
  if (trace) trace->Shot(name, ScreenCrc32());
  if (dir == nullptr || dir[0] == '\0') return true;
  if (!MakeFolders(dir)) {
    if (error) error->Assign("cannot make the folder ");
    if (error) error->Append(dir);
    return false;
  }
  Text path(dir);
  path.Append('/').Append(name).Append(".png");
  return save(path.CStr(), error);
}

void NextKeyShotName(const char* dir, Text* out) {
  uint32_t highest = 0;
  sim::port::ListDir(dir, NoteShotNumber, &highest);
  out->Assign(kKeyShotPrefix);
  out->AppendNumber(highest < kMaxShotNumber ? highest + 1 : kMaxShotNumber);
}

void AppendFileSafe(Text* out, const char* name) {
  // A file name must not be empty or hidden.
  if (name[0] == '\0' || name[0] == '.') out->Append('_');
  for (const char* p = name; *p != '\0'; ++p) {
    char c = *p;
    // Bytes of UTF-8 sequences stay: a Chinese track name keeps its name.
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
              c == '.' || (static_cast<unsigned char>(c) & 0x80) != 0;
    out->Append(ok ? c : '_');
  }
}

}  // namespace drive
