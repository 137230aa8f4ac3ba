// SPDX-License-Identifier: MIT
// The stand-in's door in the page (Emscripten). Files, folders and output go
// through port_posix.cpp onto Emscripten's in-memory file system, which the
// page fills with the folder a person gives it; what a browser has no POSIX
// call for is here: the firmware variables' memory, and program images
// (WebAssembly side modules, loaded by image_loader.js), and folder listings
// kept between calls: the stand-in lists a folder for every name it looks up
// in it, which a folder of thousands of tracks makes thousands of listings.
#include <emscripten.h>
#include <unistd.h>

#include "sim/port.h"
#include "sim/service_table.h"

extern "C" {
int ZqImageOpen(const char* path, char* why, size_t why_size);
uint32_t ZqImageSymbol(int handle, const char* name);
void ZqImageClose(int handle);

// The function-table index of the firmware service `name`, or 0 when the
// stand-in has none of that name; the image loader asks it for every import.
EMSCRIPTEN_KEEPALIVE uintptr_t ZqServiceIndex(const char* name) {
  return (uintptr_t)sim::ServiceAddress(name);
}
}

// The entries of the folder `path` as one block: for each, a byte that is 1
// for a folder, then the name and its terminating zero; *out points at it
// (owned by the listing kept for the folder) and *size gives its bytes. 0
// when the folder cannot be read. A listing is kept while the folder's time
// of change (which the in-memory file system moves at every entry made or
// removed) stays what it was when the listing was made at least 2 ms after
// it: a change within the same millisecond as a listing cannot hide then.
EM_JS(int, zq_js_list_dir, (const char* path, uint8_t** out, uint32_t* size), {
  var kept = Module.zqListings || (Module.zqListings = new Map());
  var name = UTF8ToString(path);
  var node;
  try {
    node = FS.lookupPath(name, {follow: true}).node;
  } catch (e) {
    return 0;
  }
  if (!FS.isDir(node.mode)) return 0;
  var listing = kept.get(name);
  if (listing && (listing.node !== node || listing.changed !== node.timestamp || listing.at < node.timestamp + 2)) {
    _free(listing.ptr);
    kept.delete(name);
    listing = null;
  }
  if (!listing) {
    var entries, at_time = Date.now();
    try {
      entries = FS.readdir(name);
    } catch (e) {
      return 0;
    }
    var parts = [], bytes = 0;
    entries.forEach(function(entry) {
      if (entry === '.' || entry === '..') return;
      var isDir = false;
      try { isDir = FS.isDir(FS.stat(name + '/' + entry).mode); } catch (e) {}
      parts.push([isDir, entry]);
      bytes += 1 + lengthBytesUTF8(entry) + 1;
    });
    var ptr = _malloc(Math.max(bytes, 1));
    if (!ptr) return 0;
    var at = ptr;
    parts.forEach(function(p) {
      HEAPU8[at++] = p[0] ? 1 : 0;
      at += stringToUTF8(p[1], at, lengthBytesUTF8(p[1]) + 1) + 1;
    });
    listing = {ptr: ptr, size: bytes, node: node, changed: node.timestamp, at: at_time};
    kept.set(name, listing);
  }
  HEAPU32[out >> 2] = listing.ptr;
  HEAPU32[size >> 2] = listing.size;
  return 1;
});

namespace sim::port {

bool ListDir(const char* path, DirEntryFn fn, void* ctx) {
  if (path == nullptr || fn == nullptr) return false;
  uint8_t* block = nullptr;
  uint32_t size = 0;
  if (!zq_js_list_dir(path, &block, &size)) return false;
  // A callback may list another folder meanwhile; the block stays as it is.
  for (uint32_t at = 0; at < size;) {
    bool is_dir = block[at++] != 0;
    const char* name = (const char*)block + at;
    while (at < size && block[at] != 0) ++at;
    ++at;
    fn(name, is_dir, ctx);
  }
  return true;
}

// The linear memory has no holes to map: the break is moved past the
// address, so that the allocator never hands out what lies below it. The
// memory between the old break and the address is left unused; the browser
// gives it real pages only where it is written.
void* MapFixed(uintptr_t address, size_t bytes) {
  uintptr_t brk = (uintptr_t)sbrk(0);
  if (brk > address || address + bytes < address) return nullptr;
  if (sbrk((intptr_t)(address + bytes - brk)) == (void*)-1) return nullptr;
  return (void*)address;
}

void* ImageOpen(const char* path, char* why, size_t why_size) {
  if (path == nullptr) {
    if (why != nullptr && why_size > 0) why[0] = '\0';
    return nullptr;
  }
  int handle = ZqImageOpen(path, why, why_size);
  return handle > 0 ? (void*)(uintptr_t)handle : nullptr;
}

void* ImageEntry(void* image) {
  return ImageSymbol(image, "Lib");
}

void* ImageSymbol(void* image, const char* name) {
  if (image == nullptr || name == nullptr) return nullptr;
  return (void*)(uintptr_t)ZqImageSymbol((int)(uintptr_t)image, name);
}

void ImageClose(void* image) {
  if (image != nullptr) ZqImageClose((int)(uintptr_t)image);
}

}  // namespace sim::port
