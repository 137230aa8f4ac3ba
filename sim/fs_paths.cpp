// SPDX-License-Identifier: MIT
// The root folder behind "file://b/" and the mapping of URIs onto it. A URI
// that could leave the root (a ".." component) or does not start with the
// one volume the phone has is simply not found.
#include "sim/fs_paths.h"

#include "sim/driver.h"
#include "sim/folder_index.h"
#include "sim/fs_mounts.h"
#include "sim/internal.h"
#include "sim/port.h"

namespace sim::fs {

namespace {

char g_root[kHostPathBytes];

const char kPrefix[] = "file://b/";
constexpr size_t kPrefixLength = sizeof kPrefix - 1;
const char kTableUri[] = "file://b/ELF/gb2uc.map";

size_t Length(const char* s) {
  size_t n = 0;
  while (s[n] != '\0') ++n;
  return n;
}

bool StartsWith(const char* s, const char* prefix) {
  for (; *prefix != '\0'; ++s, ++prefix)
    if (*s != *prefix) return false;
  return true;
}

// Rejects "." and ".." components and empty ones other than a final "/".
bool SafeRelative(const char* rest) {
  const char* p = rest;
  while (*p != '\0') {
    const char* end = p;
    while (*end != '\0' && *end != '/') ++end;
    size_t n = (size_t)(end - p);
    if (n == 2 && p[0] == '.' && p[1] == '.') return false;
    if (n == 1 && p[0] == '.') return false;
    if (n == 0 && *end == '/') return false;  // "//"
    p = (*end == '/') ? end + 1 : end;
  }
  return true;
}

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

// Gives each name of `path` (from byte `from` on, "/"-separated) the letter
// case it has on the host, name by name from the root down. A name that has
// no host file stays as it is, and so does everything after it: nothing
// there exists. `mirror`, when given, is changed in the same way at
// `mirror_from` (the URI beside the host path; the names have the same
// bytes in both).
bool TakeHostCase(char* path, size_t from, char* mirror, size_t mirror_from) {
  size_t at = from;
  while (path[at] != '\0') {
    size_t end = at;
    while (path[end] != '\0' && path[end] != '/') ++end;
    size_t n = end - at;
    if (n == 0) break;  // the final "/" of a folder
    if (n > kMaxNameBytes) return false;
    char best[kMaxNameBytes + 1];
    // The folder that holds this name ends just before it.
    char separator = path[at - 1];
    path[at - 1] = '\0';
    bool found = FindNameIgnoringCase(path, path + at, n, best);
    path[at - 1] = separator;
    if (!found) return false;
    for (size_t i = 0; i < n; ++i) {
      path[at + i] = best[i];
      if (mirror != nullptr) mirror[mirror_from + (at - from) + i] = best[i];
    }
    at = path[end] == '/' ? end + 1 : end;
  }
  return true;
}

// The host path of `tail` in the host folder `dir`, and the URI beside it
// (its first `uri_head` bytes from `uri`); true when every name of the tail
// is on the host.
bool PlaceIn(const char* dir, const char* tail, char* out, size_t out_size, const char* uri, size_t uri_head,
              char* canonical, bool* fits) {
  size_t dir_len = Length(dir), tail_len = Length(tail);
  *fits = dir_len + 1 + tail_len + 1 <= out_size;
  if (!*fits) return false;
  for (size_t i = 0; i < dir_len; ++i) out[i] = dir[i];
  out[dir_len] = '/';
  for (size_t i = 0; i <= tail_len; ++i) out[dir_len + 1 + i] = tail[i];
  if (canonical != nullptr) {
    for (size_t i = 0; i < uri_head; ++i) canonical[i] = uri[i];
    for (size_t i = 0; i <= tail_len; ++i) canonical[uri_head + i] = tail[i];
  }
  return TakeHostCase(out, dir_len + 1, canonical, uri_head);
}

}  // namespace

const char* Root() {
  return g_root[0] != '\0' ? g_root : nullptr;
}

bool Uri8ToHost(const char* uri, char* out, size_t out_size, char* canonical) {
  if (uri == nullptr || out == nullptr || out_size == 0 || g_root[0] == '\0') return false;
  if (!StartsWith(uri, kPrefix)) return false;
  const char* rest = uri + kPrefixLength;
  if (!SafeRelative(rest)) return false;
  const char* dirs[kMaxMountDirs];
  size_t count = 0, taken = 0;
  if (FindMount(rest, dirs, &count, &taken)) {
    // The first host folder that has the name; a name none has stays as
    // asked in the first.
    bool fits = true;
    for (size_t d = 0; d < count; ++d) {
      if (PlaceIn(dirs[d], rest + taken, out, out_size, uri, kPrefixLength + taken, canonical, &fits)) return true;
      if (!fits) return false;
    }
    PlaceIn(dirs[0], rest + taken, out, out_size, uri, kPrefixLength + taken, canonical, &fits);
    return fits;
  }
  size_t root_len = Length(g_root);
  size_t rest_len = Length(rest);
  if (root_len + 1 + rest_len + 1 > out_size) return false;
  for (size_t i = 0; i < root_len; ++i) out[i] = g_root[i];
  out[root_len] = '/';
  for (size_t i = 0; i <= rest_len; ++i) out[root_len + 1 + i] = rest[i];
  if (canonical != nullptr)
    for (size_t i = 0; i <= kPrefixLength + rest_len; ++i) canonical[i] = uri[i];
  // The phone's FAT card ignores the letter case of names.
  TakeHostCase(out, root_len + 1, canonical, kPrefixLength);
  return true;
}

bool UriToHost(const WCHAR* uri, char* out, size_t out_size, WCHAR* canonical) {
  if (uri == nullptr) return false;
  // Longer than a URI buffer holds: not a name the phone could have.
  size_t units = 0;
  while (units < kUriUnits && uri[units] != 0) ++units;
  if (units == kUriUnits) return false;
  char utf8[kUriUnits * 3 + 1];
  internal::Utf16ToUtf8(uri, utf8, sizeof utf8);
  char host_case[kUriUnits * 3 + 1];
  if (!Uri8ToHost(utf8, out, out_size, canonical != nullptr ? host_case : nullptr)) return false;
  if (canonical != nullptr) internal::Utf8ToUtf16(host_case, canonical, kUriUnits);
  return true;
}

bool IsServedTable(const WCHAR* uri) {
  if (uri == nullptr || internal::Gb2ucTable() == nullptr) return false;
  // The phone's FAT volume ignores letter case in names.
  size_t i = 0;
  for (; kTableUri[i] != '\0'; ++i) {
    if (uri[i] == 0 || uri[i] > 0x7F) return false;
    if (AsciiLower((char)uri[i]) != AsciiLower(kTableUri[i])) return false;
  }
  return uri[i] == 0;
}

bool FileExists(const WCHAR* uri) {
  char path[kHostPathBytes];
  if (UriToHost(uri, path, sizeof path) && port::ExistsFile(path)) return true;
  return IsServedTable(uri);
}

}  // namespace sim::fs

namespace sim {

bool SetRoot(const char* host_dir) {
  if (host_dir == nullptr || !port::ExistsDir(host_dir)) return false;
  size_t n = fs::Length(host_dir);
  while (n > 1 && host_dir[n - 1] == '/') --n;  // "dir/" and "dir" are one root
  if (n + 1 > sizeof fs::g_root) return false;
  for (size_t i = 0; i < n; ++i) fs::g_root[i] = host_dir[i];
  fs::g_root[n] = '\0';
  fs::ResetFolderIndex();
  fs::ResetMounts();
  return true;
}

bool HostPath(const WCHAR* uri, char* out, size_t out_size) {
  return fs::UriToHost(uri, out, out_size);
}

namespace internal {

void FsReset() {
  fs::FilesReset();
  fs::IdsReset();
  fs::SearchReset();
  fs::ResetFolderIndex();
  fs::ResetMounts();
  fs::g_root[0] = '\0';
}

}  // namespace internal
}  // namespace sim
