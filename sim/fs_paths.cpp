// The root folder behind "file://b/" and the mapping of URIs onto it. A URI
// that could leave the root (a ".." component) or does not start with the
// one volume the phone has is simply not found.
#include "sim/fs_paths.h"

#include "sim/driver.h"
#include "sim/internal.h"
#include "sim/port.h"

namespace sim::fs {

namespace {

char g_root[kHostPathBytes];

const char kPrefix[] = "file://b/";
constexpr size_t kPrefixLength = sizeof kPrefix - 1;
const char kTableUri[] = "file://b/ELF/gb2uc.map";

size_t length(const char* s) {
  size_t n = 0;
  while (s[n] != '\0') ++n;
  return n;
}

bool starts_with(const char* s, const char* prefix) {
  for (; *prefix != '\0'; ++s, ++prefix)
    if (*s != *prefix) return false;
  return true;
}

// Rejects "." and ".." components and empty ones other than a final "/".
bool safe_relative(const char* rest) {
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

char ascii_lower(char c) {
  return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

}  // namespace

const char* root() {
  return g_root[0] != '\0' ? g_root : nullptr;
}

bool uri8_to_host(const char* uri, char* out, size_t out_size) {
  if (uri == nullptr || out == nullptr || out_size == 0 || g_root[0] == '\0') return false;
  if (!starts_with(uri, kPrefix)) return false;
  const char* rest = uri + kPrefixLength;
  if (!safe_relative(rest)) return false;
  size_t root_len = length(g_root);
  size_t rest_len = length(rest);
  if (root_len + 1 + rest_len + 1 > out_size) return false;
  for (size_t i = 0; i < root_len; ++i) out[i] = g_root[i];
  out[root_len] = '/';
  for (size_t i = 0; i <= rest_len; ++i) out[root_len + 1 + i] = rest[i];
  return true;
}

bool uri_to_host(const WCHAR* uri, char* out, size_t out_size) {
  if (uri == nullptr) return false;
  // Longer than a URI buffer holds: not a name the phone could have.
  size_t units = 0;
  while (units < kUriUnits && uri[units] != 0) ++units;
  if (units == kUriUnits) return false;
  char utf8[kUriUnits * 3 + 1];
  internal::utf16_to_utf8(uri, utf8, sizeof utf8);
  return uri8_to_host(utf8, out, out_size);
}

bool is_served_table(const WCHAR* uri) {
  if (uri == nullptr || internal::gb2uc_table() == nullptr) return false;
  // The phone's FAT volume ignores letter case in names.
  size_t i = 0;
  for (; kTableUri[i] != '\0'; ++i) {
    if (uri[i] == 0 || uri[i] > 0x7F) return false;
    if (ascii_lower((char)uri[i]) != ascii_lower(kTableUri[i])) return false;
  }
  return uri[i] == 0;
}

bool file_exists(const WCHAR* uri) {
  char path[kHostPathBytes];
  if (uri_to_host(uri, path, sizeof path) && port::exists_file(path)) return true;
  return is_served_table(uri);
}

}  // namespace sim::fs

namespace sim {

bool set_root(const char* host_dir) {
  if (host_dir == nullptr || !port::exists_dir(host_dir)) return false;
  size_t n = fs::length(host_dir);
  while (n > 1 && host_dir[n - 1] == '/') --n;  // "dir/" and "dir" are one root
  if (n + 1 > sizeof fs::g_root) return false;
  for (size_t i = 0; i < n; ++i) fs::g_root[i] = host_dir[i];
  fs::g_root[n] = '\0';
  return true;
}

bool host_path(const WCHAR* uri, char* out, size_t out_size) {
  return fs::uri_to_host(uri, out, out_size);
}

namespace internal {

void fs_reset() {
  fs::files_reset();
  fs::ids_reset();
  fs::search_reset();
  fs::g_root[0] = '\0';
}

}  // namespace internal
}  // namespace sim
