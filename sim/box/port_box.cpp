// SPDX-License-Identifier: MIT
// The stand-in's door to the operating system in the big-endian box: files,
// folders, output and fixed memory through raw Linux calls (the images are in
// image_loader.cpp, the allocator's memory in heap.cpp).
#include "sim/box/linux_calls.h"
#include "sim/port.h"

namespace sim::port {
namespace {

using namespace box::sys;

bool StatPath(const char* path, Stat* st) {
  return path != nullptr && StatAt(kAtCwd, path, st) == 0;
}

bool WriteAll(int fd, const char* text, size_t length) {
  while (length > 0) {
    long n = box::sys::Write(fd, text, length);
    if (n == kInterrupted) continue;
    if (n <= 0) return false;
    text += n;
    length -= (size_t)n;
  }
  return true;
}

bool IsDotOrDotdot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

int OpenRead(const char* path) {
  if (path == nullptr) return -1;
  long fd = box::sys::Open(path, kReadOnly);
  return fd < 0 ? -1 : (int)fd;
}

int64_t FileSize(int fd) {
  Stat st;
  if (fd < 0 || Fstat(fd, &st) != 0) return -1;
  return st.size;
}

int64_t Read(int fd, void* buffer, size_t bytes) {
  if (fd < 0) return -1;
  size_t done = 0;
  while (done < bytes) {
    long n = box::sys::Read(fd, (char*)buffer + done, bytes - done);
    if (n == kInterrupted) continue;
    if (n < 0) return done > 0 ? (int64_t)done : -1;
    if (n == 0) break;
    done += (size_t)n;
  }
  return (int64_t)done;
}

bool Seek(int fd, int64_t offset) {
  return fd >= 0 && offset >= 0 && SeekSet(fd, offset) == 0;
}

void Close(int fd) {
  if (fd >= 0) box::sys::Close(fd);
}

bool ExistsFile(const char* path) {
  Stat st;
  return StatPath(path, &st) && (st.mode & kTypeMask) == kTypeRegular;
}

int64_t ReadableFileSize(const char* path) {
  Stat st;
  if (!StatPath(path, &st) || (st.mode & kTypeMask) != kTypeRegular) return -1;
  constexpr uint32_t kOthersRead = 04;
  if ((st.mode & kOthersRead) == 0) {
    long fd = box::sys::Open(path, kReadOnly);
    if (fd < 0) return -1;
    box::sys::Close((int)fd);
  }
  return st.size;
}

bool ExistsDir(const char* path) {
  Stat st;
  return StatPath(path, &st) && (st.mode & kTypeMask) == kTypeDirectory;
}

bool DirStamp(const char* path, uint64_t* stamp) {
  Stat st;
  if (!StatPath(path, &st) || (st.mode & kTypeMask) != kTypeDirectory) return false;
  *stamp = (uint64_t)st.mtime * 1000000000u + st.mtime_nsec;
  return true;
}

bool ListDir(const char* path, DirEntryFn fn, void* ctx) {
  if (path == nullptr || fn == nullptr) return false;
  long dir = box::sys::Open(path, kReadOnly | kDirectory);
  if (dir < 0) return false;
  // On the stack: a callback may list another folder while this one is open.
  alignas(8) uint8_t buffer[4096];
  for (;;) {
    long got = Getdents64((int)dir, buffer, sizeof buffer);
    if (got == kInterrupted) continue;
    if (got <= 0) break;
    for (long at = 0; at < got;) {
      uint16_t reclen;
      __builtin_memcpy(&reclen, buffer + at + kDirentReclen, sizeof reclen);
      if (reclen == 0 || at + reclen > got) break;
      uint8_t type = buffer[at + kDirentType];
      const char* name = (const char*)buffer + at + kDirentName;
      at += reclen;
      if (IsDotOrDotdot(name)) continue;
      // Links are followed, as the phone would show the file they point to;
      // file systems that do not give the type are asked with stat.
      bool is_dir = type == kDtDir;
      if (type == kDtLink || type == kDtUnknown) {
        Stat st;
        is_dir = StatAt((int)dir, name, &st) == 0 && (st.mode & kTypeMask) == kTypeDirectory;
      }
      fn(name, is_dir, ctx);
    }
  }
  box::sys::Close((int)dir);
  return true;
}

void WriteOut(const char* text, size_t length) {
  WriteAll(1, text, length);
}
void WriteErr(const char* text, size_t length) {
  WriteAll(2, text, length);
}

int OpenWrite(const char* path) {
  if (path == nullptr) return -1;
  long fd = box::sys::Open(path, kWriteOnly | kCreate | kTruncate, 0644);
  return fd < 0 ? -1 : (int)fd;
}

bool Write(int fd, const void* bytes, size_t length) {
  return fd >= 0 && WriteAll(fd, static_cast<const char*>(bytes), length);
}

bool MakeDir(const char* path) {
  if (path == nullptr) return false;
  long r = box::sys::Mkdir(path, 0755);
  return r == 0 || (r == kExists && ExistsDir(path));
}

void* MapFixed(uintptr_t address, size_t bytes) {
  uintptr_t start = address & ~(uintptr_t)(kPageBytes - 1);
  size_t length = (address + bytes - start + kPageBytes - 1) & ~(size_t)(kPageBytes - 1);
  // NOREPLACE: never take over memory that something else already uses.
  void* p = box::sys::Mmap((void*)start, length, kProtRead | kProtWrite, kMapPrivate | kMapFixedNoReplace);
  if (p == nullptr) return nullptr;
  if ((uintptr_t)p != start) {
    // A kernel that does not know the flag takes the address as a hint.
    Munmap(p, length);
    return nullptr;
  }
  return (void*)address;
}

}  // namespace sim::port
