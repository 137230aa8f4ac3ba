// SPDX-License-Identifier: MIT
// Each index is the folder's names in one pool, and their order by name
// folded to lower case (then by bytes), with every name that differs from the
// one before it only by case left out; a name is found by halving.
#include "sim/folder_index.h"

#include "sim/driver.h"
#include "sim/port.h"
#include "sim/port_array.h"

namespace sim::fs {

namespace {

struct Folder {
  PortArray<char> path;       // the host folder, zero-terminated
  uint64_t stamp;             // its time of last change when listed
  PortArray<char> names;      // every name, each zero-terminated
  PortArray<uint32_t> order;  // where each name starts, in folded order
  bool complete;              // listed whole (no memory ran out)
};

PortArray<Folder> g_folders;
uint32_t g_listings;

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

// Folded order of two zero-terminated names; names equal when folded are
// ordered by their bytes, so that the first in byte order comes first.
int Compare(const char* a, const char* b) {
  for (size_t i = 0;; ++i) {
    unsigned char x = (unsigned char)Lower(a[i]), y = (unsigned char)Lower(b[i]);
    if (x != y) return x < y ? -1 : 1;
    if (a[i] == '\0') break;
  }
  for (size_t i = 0;; ++i) {
    if (a[i] != b[i]) return (unsigned char)a[i] < (unsigned char)b[i] ? -1 : 1;
    if (a[i] == '\0') return 0;
  }
}

// The folded comparison of a name of the index with the one wanted.
int CompareFolded(const char* name, const char* wanted, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    unsigned char x = (unsigned char)Lower(name[i]), y = (unsigned char)Lower(wanted[i]);
    if (name[i] == '\0' || x != y) return name[i] == '\0' ? -1 : (x < y ? -1 : 1);
  }
  return name[length] == '\0' ? 0 : 1;
}

void Collect(const char* name, bool /*is_dir*/, void* ctx) {
  Folder* f = (Folder*)ctx;
  size_t n = 0;
  while (name[n] != '\0') ++n;
  if (n > kMaxNameBytes) return;
  uint32_t at = f->names.Size();
  char* room = f->names.Append((uint32_t)n + 1);
  uint32_t* slot = room != nullptr ? f->order.Append(1) : nullptr;
  if (slot == nullptr) {
    if (room != nullptr) f->names.Cut(at);
    f->complete = false;
    return;
  }
  for (size_t i = 0; i <= n; ++i) room[i] = name[i];
  *slot = at;
}

// Heap sort of the order: no extra memory, no deep recursion.
void SiftDown(Folder* f, uint32_t root, uint32_t end) {
  for (;;) {
    uint64_t child = 2 * (uint64_t)root + 1;
    if (child >= end) return;
    uint32_t c = (uint32_t)child;
    if (c + 1 < end && Compare(&f->names[f->order[c]], &f->names[f->order[c + 1]]) < 0) ++c;
    if (Compare(&f->names[f->order[root]], &f->names[f->order[c]]) >= 0) return;
    uint32_t t = f->order[root];
    f->order[root] = f->order[c];
    f->order[c] = t;
    root = c;
  }
}

void Sort(Folder* f) {
  uint32_t n = f->order.Size();
  for (uint32_t i = n / 2; i > 0; --i) SiftDown(f, i - 1, n);
  for (uint32_t end = n; end > 1; --end) {
    uint32_t t = f->order[0];
    f->order[0] = f->order[end - 1];
    f->order[end - 1] = t;
    SiftDown(f, 0, end - 1);
  }
  // Of names equal but for case, the first in byte order stays.
  uint32_t kept = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const char* name = &f->names[f->order[i]];
    if (kept > 0) {
      const char* before = &f->names[f->order[kept - 1]];
      size_t k = 0;
      while (before[k] != '\0' && Lower(before[k]) == Lower(name[k])) ++k;
      if (before[k] == '\0' && name[k] == '\0') continue;
    }
    f->order[kept++] = f->order[i];
  }
  f->order.Cut(kept);
}

bool SamePath(const Folder& f, const char* path) {
  for (uint32_t i = 0; i < f.path.Size(); ++i)
    if (f.path[i] != path[i]) return false;
  return true;
}

// Lists the folder into `f` afresh.
bool Build(Folder* f, const char* path, uint64_t stamp) {
  f->names.Cut(0);
  f->order.Cut(0);
  f->complete = true;
  f->stamp = stamp;
  ++g_listings;
  if (!port::ListDir(path, Collect, f)) return false;
  Sort(f);
  return true;
}

// The folder's index, listed when it is new or its folder changed; null
// when the folder cannot be read or there is no memory for it.
Folder* IndexOf(const char* path) {
  uint64_t stamp = 0;
  if (!port::DirStamp(path, &stamp)) return nullptr;
  Folder* f = nullptr;
  for (uint32_t i = 0; i < g_folders.Size() && f == nullptr; ++i)
    if (SamePath(g_folders[i], path)) f = &g_folders[i];
  if (f != nullptr && f->stamp == stamp && f->complete) return f;
  if (f == nullptr) {
    size_t n = 0;
    while (path[n] != '\0') ++n;
    f = g_folders.Append(1);
    if (f == nullptr) return nullptr;
    *f = Folder{};
    char* copy = f->path.Append((uint32_t)n + 1);
    if (copy == nullptr) {
      g_folders.Cut(g_folders.Size() - 1);
      return nullptr;
    }
    for (size_t i = 0; i <= n; ++i) copy[i] = path[i];
  }
  if (!Build(f, path, stamp) || !f->complete) {
    f->stamp = stamp ^ 1;  // never taken as current
    return nullptr;
  }
  return f;
}

}  // namespace

bool FindNameIgnoringCase(const char* folder, const char* name, size_t length, char* best) {
  if (length == 0 || length > kMaxNameBytes) return false;
  Folder* f = IndexOf(folder);
  if (f == nullptr) return false;
  uint32_t low = 0, high = f->order.Size();
  while (low < high) {
    uint32_t mid = low + (high - low) / 2;
    int c = CompareFolded(&f->names[f->order[mid]], name, length);
    if (c == 0) {
      const char* found = &f->names[f->order[mid]];
      for (size_t i = 0; i <= length; ++i) best[i] = found[i];
      return true;
    }
    if (c < 0) {
      low = mid + 1;
    } else {
      high = mid;
    }
  }
  return false;
}

void ResetFolderIndex() {
  for (uint32_t i = 0; i < g_folders.Size(); ++i) {
    g_folders[i].path.Release();
    g_folders[i].names.Release();
    g_folders[i].order.Release();
  }
  g_folders.Release();
  g_listings = 0;
}

uint32_t FolderIndexListings() {
  return g_listings;
}

}  // namespace sim::fs

namespace sim {

uint32_t FolderListings() {
  return fs::FolderIndexListings();
}

}  // namespace sim
