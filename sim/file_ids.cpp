// SPDX-License-Identifier: MIT
// File identifiers: the 8-byte values the phone's loader passes to a program
// to name the file it was started with. Here an identifier is the FNV-1a 64
// hash of the file's URI in UTF-8, stored most significant byte first, so it
// is stable across runs and the same for the same URI on every machine.
#include "platform/filesystem.h"
#include "sim/driver.h"
#include "sim/framework_bytes.h"
#include "sim/fs_paths.h"
#include "sim/internal.h"
#include "sim/port.h"

namespace {

constexpr uint32_t kMaxKnownIds = 256;
// An unknown identifier is looked for in the tree under the root, within
// these bounds so that a huge folder cannot stall the stand-in.
constexpr uint32_t kMaxSearchDepth = 8;
constexpr uint32_t kMaxSearchEntries = 20000;
constexpr uint32_t kNotFound = 1;

struct KnownId {
  uint64_t id;
  WCHAR uri[sim::fs::kUriUnits];
};

KnownId g_known[kMaxKnownIds];
uint32_t g_known_count;
uint32_t g_known_next;  // when full, the oldest entry is replaced

uint64_t Fnv1a64(const char* s) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (const uint8_t* p = (const uint8_t*)s; *p != 0; ++p) {
    h ^= *p;
    h *= 0x100000001b3ull;
  }
  return h;
}

uint64_t IdValue(const uint8_t id[8]) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v = (v << 8) | id[i];
  return v;
}

void IdBytes(uint64_t v, uint8_t id[8]) {
  for (int i = 7; i >= 0; --i) {
    id[i] = (uint8_t)(v & 0xFF);
    v >>= 8;
  }
}

void CopyUnits(const WCHAR* src, WCHAR* dst, size_t units) {
  size_t i = 0;
  for (; i + 1 < units && src[i] != 0; ++i) dst[i] = src[i];
  dst[i] = 0;
}

void Remember(uint64_t id, const WCHAR* uri) {
  for (uint32_t i = 0; i < g_known_count; ++i)
    if (g_known[i].id == id) return;
  uint32_t slot;
  if (g_known_count < kMaxKnownIds) {
    slot = g_known_count++;
  } else {
    slot = g_known_next;
    g_known_next = (g_known_next + 1) % kMaxKnownIds;
  }
  g_known[slot].id = id;
  CopyUnits(uri, g_known[slot].uri, sim::fs::kUriUnits);
}

const WCHAR* KnownUri(uint64_t id) {
  for (uint32_t i = 0; i < g_known_count; ++i)
    if (g_known[i].id == id) return g_known[i].uri;
  return nullptr;
}

size_t Length(const char* s) {
  size_t n = 0;
  while (s[n] != '\0') ++n;
  return n;
}

// The tree walk: host folder and URI grow together, one name at a time.
struct Walk {
  uint64_t wanted;
  char host[sim::fs::kHostPathBytes];
  char uri[sim::fs::kUriUnits * 3 + 1];
  uint32_t depth;
  uint32_t seen;
  bool found;
  WCHAR result[sim::fs::kUriUnits];
};

void WalkFolder(Walk* w);

void Visit(const char* name, bool is_dir, void* ctx) {
  Walk* w = (Walk*)ctx;
  if (w->found || w->seen >= kMaxSearchEntries) return;
  ++w->seen;
  size_t host_len = Length(w->host);
  size_t uri_len = Length(w->uri);
  size_t name_len = Length(name);
  if (host_len + 1 + name_len + 1 > sizeof w->host || uri_len + name_len + 2 > sizeof w->uri) return;
  w->host[host_len] = '/';
  for (size_t i = 0; i <= name_len; ++i) w->host[host_len + 1 + i] = name[i];
  for (size_t i = 0; i <= name_len; ++i) w->uri[uri_len + i] = name[i];
  if (is_dir) {
    if (w->depth < kMaxSearchDepth) {
      w->uri[uri_len + name_len] = '/';
      w->uri[uri_len + name_len + 1] = '\0';
      ++w->depth;
      WalkFolder(w);
      --w->depth;
    }
  } else if (Fnv1a64(w->uri) == w->wanted && sim::port::ExistsFile(w->host)) {
    // Only a URI that fits a URI buffer is an answer the phone could give,
    // and only one that names the file its case twins leave reachable.
    size_t units = sim::internal::Utf8ToUtf16(w->uri, w->result, sim::fs::kUriUnits);
    WCHAR check[sim::fs::kUriUnits + 1];
    char host[sim::fs::kHostPathBytes];
    if (sim::internal::Utf8ToUtf16(w->uri, check, sim::fs::kUriUnits + 1) == units &&
        sim::fs::UriToHost(w->result, host, sizeof host) && sim::fw::TextEqual(host, w->host))
      w->found = true;
  }
  w->host[host_len] = '\0';
  w->uri[uri_len] = '\0';
}

void WalkFolder(Walk* w) {
  sim::port::ListDir(w->host, Visit, w);
}

bool SearchTree(uint64_t id, WCHAR* out) {
  const char* root = sim::fs::Root();
  if (root == nullptr) return false;
  static Walk w;  // large; one walk at a time
  w = Walk{};
  w.wanted = id;
  size_t n = Length(root);
  if (n + 1 > sizeof w.host) return false;
  for (size_t i = 0; i <= n; ++i) w.host[i] = root[i];
  const char prefix[] = "file://b/";
  for (size_t i = 0; i < sizeof prefix; ++i) w.uri[i] = prefix[i];
  WalkFolder(&w);
  if (!w.found) return false;
  CopyUnits(w.result, out, sim::fs::kUriUnits);
  return true;
}

}  // namespace

extern "C" uint32_t DL_FsGetURIFromID(const uint8_t* id, WCHAR* uri) {
  if (uri == nullptr) return kNotFound;
  if (id == nullptr) {
    uri[0] = 0;
    return kNotFound;
  }
  uint64_t value = IdValue(id);
  if (const WCHAR* known = KnownUri(value)) {
    CopyUnits(known, uri, sim::fs::kUriUnits);
    return 0;
  }
  if (SearchTree(value, uri)) {
    Remember(value, uri);
    return 0;
  }
  // No such file: give a URI that names no file, so that a caller that does
  // not look at the result still finds nothing there.
  char text[17];
  sim::FileIdText(id, text);
  char missing[48] = "file://b/.missing/";
  size_t n = Length(missing);
  for (size_t i = 0; i < 17; ++i) missing[n + i] = text[i];
  sim::internal::Utf8ToUtf16(missing, uri, sim::fs::kUriUnits);
  return kNotFound;
}

namespace sim {

bool FileId(const char* uri_utf8, uint8_t id[8]) {
  if (uri_utf8 == nullptr || id == nullptr) return false;
  WCHAR uri[fs::kUriUnits + 1];
  size_t units = internal::Utf8ToUtf16(uri_utf8, uri, fs::kUriUnits + 1);
  if (units >= fs::kUriUnits) return false;  // would not fit a URI buffer
  // The file as the card spells its names, whatever letter case the caller
  // wrote: that URI is the one the identifier stands for.
  char host[fs::kHostPathBytes];
  WCHAR on_card[fs::kUriUnits];
  if (fs::UriToHost(uri, host, sizeof host, on_card) && port::ExistsFile(host)) {
    CopyUnits(on_card, uri, fs::kUriUnits);
  } else if (!fs::IsServedTable(uri)) {
    return false;
  }
  // Hash the URI as the tree walk spells it, whatever the caller's bytes.
  char canonical[fs::kUriUnits * 3 + 1];
  internal::Utf16ToUtf8(uri, canonical, sizeof canonical);
  uint64_t value = Fnv1a64(canonical);
  Remember(value, uri);
  IdBytes(value, id);
  return true;
}

void FileIdText(const uint8_t id[8], char text[17]) {
  static const char kHex[] = "0123456789ABCDEF";
  for (int i = 0; i < 8; ++i) {
    text[2 * i] = kHex[id[i] >> 4];
    text[2 * i + 1] = kHex[id[i] & 0xF];
  }
  text[16] = '\0';
}

}  // namespace sim

namespace sim::fs {

void IdsReset() {
  g_known_count = 0;
  g_known_next = 0;
}

}  // namespace sim::fs
