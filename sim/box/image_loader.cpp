// SPDX-License-Identifier: MIT
// Phone images in the big-endian box: the file is read, checked and
// relocated by the stand-in's loader (sim/elf_image.cpp) into fresh memory of
// its own, so that every load starts with fresh static state, and entered at
// its first byte. Imports are resolved by name against the stand-in's
// firmware services.
#include "sim/box/linux_calls.h"
#include "sim/elf_image.h"
#include "sim/port.h"
#include "sim/service_table.h"

namespace sim::port {
namespace {

using namespace box::sys;

struct BoxImage {
  bool used;
  uint8_t* memory;
  uint32_t mapped;
  elf::Layout layout;
};

// The loader keeps one image at a time; one more slot lets a new one be
// opened before the old one is closed.
BoxImage g_images[2];

uint32_t RoundToPages(uint32_t bytes) {
  return (bytes + kPageBytes - 1) & ~(kPageBytes - 1);
}

bool Resolve(const char* name, uint32_t* address, void*) {
  const void* service = ServiceAddress(name);
  if (service == nullptr) return false;
  *address = (uint32_t)(uintptr_t)service;
  return true;
}

// "<path>: <reason>" into `why`, or the reason alone without a path.
void Say(char* why, size_t why_size, const char* path, const char* reason) {
  if (why == nullptr || why_size == 0) return;
  size_t n = 0;
  const char* parts[] = {path, path[0] != '\0' ? ": " : "", reason};
  for (const char* p : parts)
    for (; *p != '\0' && n + 1 < why_size; ++p) why[n++] = *p;
  why[n] = '\0';
}

// The whole file in a mapping of its own; null (with a reason) when it cannot
// be read or is larger than any image the loader takes.
uint8_t* ReadFile(const char* path, uint32_t* size, uint32_t* mapped, const char** reason) {
  long fd = box::sys::Open(path, kReadOnly);
  if (fd < 0) {
    *reason = "cannot open the image file";
    return nullptr;
  }
  Stat st;
  uint8_t* bytes = nullptr;
  if (Fstat((int)fd, &st) != 0 || (st.mode & kTypeMask) != kTypeRegular) {
    *reason = "not a regular file";
  } else if (st.size > (int64_t)elf::kMaxImageBytes * 2) {
    *reason = "the file is larger than any image the loader takes";
  } else {
    *size = (uint32_t)st.size;
    *mapped = RoundToPages(*size == 0 ? 1 : *size);
    bytes = static_cast<uint8_t*>(Mmap(nullptr, *mapped, kProtRead | kProtWrite, kMapPrivate));
    if (bytes == nullptr) *reason = "no memory to read the image file";
    if (bytes != nullptr && port::Read((int)fd, bytes, *size) != (int64_t)*size) {
      *reason = "cannot read the image file";
      Munmap(bytes, *mapped);
      bytes = nullptr;
    }
  }
  box::sys::Close((int)fd);
  return bytes;
}

}  // namespace

void* ImageOpen(const char* path, char* why, size_t why_size) {
  if (path == nullptr) {
    Say(why, why_size, "", "no image file given");
    return nullptr;
  }
  BoxImage* slot = !g_images[0].used ? &g_images[0] : !g_images[1].used ? &g_images[1] : nullptr;
  if (slot == nullptr) {
    Say(why, why_size, path, "too many images open");
    return nullptr;
  }
  const char* reason = "";
  uint32_t size = 0, file_mapped = 0;
  uint8_t* file = ReadFile(path, &size, &file_mapped, &reason);
  if (file == nullptr) {
    Say(why, why_size, path, reason);
    return nullptr;
  }
  char line[192];
  BoxImage image{};
  bool ok = elf::Check(file, size, &image.layout, line, sizeof line);
  if (ok) {
    image.mapped = RoundToPages(image.layout.memory_bytes);
    image.memory = static_cast<uint8_t*>(Mmap(nullptr, image.mapped, kProtRead | kProtWrite | kProtExec, kMapPrivate));
    if (image.memory == nullptr) {
      ok = false;
      Say(line, sizeof line, "", "no memory for the image");
    }
  }
  if (ok) {
    ok = elf::Relocate(file, image.layout, image.memory, (uint32_t)(uintptr_t)image.memory, Resolve, nullptr, line,
                       sizeof line);
    if (!ok) Munmap(image.memory, image.mapped);
  }
  Munmap(file, file_mapped);
  if (!ok) {
    Say(why, why_size, path, line);
    return nullptr;
  }
  // The image's code was written as data: the processor must not run stale
  // instructions from its caches.
  CacheFlush(image.memory, image.memory + image.mapped);
  image.used = true;
  *slot = image;
  return slot;
}

void* ImageEntry(void* image) {
  auto* box_image = static_cast<BoxImage*>(image);
  return box_image != nullptr && box_image->used ? box_image->memory : nullptr;
}

void* ImageSymbol(void* image, const char* name) {
  auto* box_image = static_cast<BoxImage*>(image);
  uint32_t offset = 0;
  if (box_image == nullptr || !box_image->used || !elf::FindSymbol(box_image->memory, box_image->layout, name, &offset))
    return nullptr;
  return box_image->memory + offset;
}

void ImageClose(void* image) {
  auto* box_image = static_cast<BoxImage*>(image);
  if (box_image == nullptr || !box_image->used) return;
  Munmap(box_image->memory, box_image->mapped);
  *box_image = BoxImage{};
}

}  // namespace sim::port
