// SPDX-License-Identifier: MIT
// The stand-in's door in the page (Emscripten). Files, folders and output go
// through port_posix.cpp onto Emscripten's in-memory file system, which the
// page fills with the folder a person gives it; what a browser has no POSIX
// call for is here: the firmware variables' memory, and program images
// (WebAssembly side modules, loaded by image_loader.js).
#include <emscripten.h>
#include <unistd.h>

#include "sim/port.h"
#include "sim/service_table.h"

extern "C" {
int zq_image_open(const char* path, char* why, size_t why_size);
uint32_t zq_image_symbol(int handle, const char* name);
void zq_image_close(int handle);

// The function-table index of the firmware service `name`, or 0 when the
// stand-in has none of that name; the image loader asks it for every import.
EMSCRIPTEN_KEEPALIVE uintptr_t zq_service_index(const char* name) {
  return (uintptr_t)sim::service_address(name);
}
}

namespace sim::port {

// The linear memory has no holes to map: the break is moved past the
// address, so that the allocator never hands out what lies below it. The
// memory between the old break and the address is left unused; the browser
// gives it real pages only where it is written.
void* map_fixed(uintptr_t address, size_t bytes) {
  uintptr_t brk = (uintptr_t)sbrk(0);
  if (brk > address || address + bytes < address) return nullptr;
  if (sbrk((intptr_t)(address + bytes - brk)) == (void*)-1) return nullptr;
  return (void*)address;
}

void* image_open(const char* path, char* why, size_t why_size) {
  if (path == nullptr) {
    if (why != nullptr && why_size > 0) why[0] = '\0';
    return nullptr;
  }
  int handle = zq_image_open(path, why, why_size);
  return handle > 0 ? (void*)(uintptr_t)handle : nullptr;
}

void* image_entry(void* image) {
  return image_symbol(image, "Lib");
}

void* image_symbol(void* image, const char* name) {
  if (image == nullptr || name == nullptr) return nullptr;
  return (void*)(uintptr_t)zq_image_symbol((int)(uintptr_t)image, name);
}

void image_close(void* image) {
  if (image != nullptr) zq_image_close((int)(uintptr_t)image);
}

}  // namespace sim::port
