// SPDX-License-Identifier: MIT
#include "sim/fs_mounts.h"

#include "sim/driver.h"
#include "sim/fs_paths.h"

namespace sim::fs {

namespace {

constexpr size_t kMaxMounts = 4;
const char kPrefix[] = "file://b/";
constexpr size_t kPrefixLength = sizeof kPrefix - 1;

struct Mount {
  char folder[kUriUnits];  // after "file://b/", with its final "/"
  size_t folder_length;
  char dirs[kMaxMountDirs][kHostPathBytes];
  size_t count;
};

Mount g_mounts[kMaxMounts];
size_t g_mount_count;

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

bool Copy(const char* from, char* to, size_t room, size_t* length) {
  size_t n = 0;
  while (from[n] != '\0') ++n;
  if (n + 1 > room) return false;
  for (size_t i = 0; i <= n; ++i) to[i] = from[i];
  *length = n;
  return true;
}

}  // namespace

bool FindMount(const char* rest, const char* dirs[kMaxMountDirs], size_t* count, size_t* taken) {
  const Mount* best = nullptr;
  for (size_t m = 0; m < g_mount_count; ++m) {
    const Mount& mount = g_mounts[m];
    size_t i = 0;
    // The card ignores the letter case of names, its folders' too.
    while (i < mount.folder_length && rest[i] != '\0' && Lower(rest[i]) == Lower(mount.folder[i])) ++i;
    if (i < mount.folder_length) continue;
    if (best == nullptr || mount.folder_length > best->folder_length) best = &mount;
  }
  if (best == nullptr) return false;
  for (size_t d = 0; d < best->count; ++d) dirs[d] = best->dirs[d];
  *count = best->count;
  *taken = best->folder_length;
  return true;
}

void ResetMounts() {
  g_mount_count = 0;
}

}  // namespace sim::fs

namespace sim {

bool MountFolder(const char* uri_folder, const char* const* host_dirs, size_t count) {
  using namespace fs;
  if (uri_folder == nullptr || host_dirs == nullptr || count == 0 || count > kMaxMountDirs) return false;
  if (g_mount_count == kMaxMounts) return false;
  for (size_t i = 0; i < kPrefixLength; ++i)
    if (uri_folder[i] != kPrefix[i]) return false;
  Mount& m = g_mounts[g_mount_count];
  if (!Copy(uri_folder + kPrefixLength, m.folder, sizeof m.folder, &m.folder_length)) return false;
  if (m.folder_length == 0 || m.folder[m.folder_length - 1] != '/') return false;
  for (size_t d = 0; d < count; ++d) {
    size_t n = 0;
    if (host_dirs[d] == nullptr || !Copy(host_dirs[d], m.dirs[d], sizeof m.dirs[d], &n)) return false;
    while (n > 1 && m.dirs[d][n - 1] == '/') m.dirs[d][--n] = '\0';
  }
  m.count = count;
  ++g_mount_count;
  return true;
}

}  // namespace sim
