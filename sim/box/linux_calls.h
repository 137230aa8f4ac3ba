// SPDX-License-Identifier: MIT
// The Linux system calls the big-endian box makes, raw (there is no C library
// for a big-endian ARM program here). Each returns what the kernel returns: a
// value >= 0, or minus the error number. qemu-armeb passes them on to the
// host kernel.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace box::sys {

// Flags and modes of the ARM Linux ABI (some differ from other processors').
constexpr int kReadOnly = 0;
constexpr int kWriteOnly = 01;
constexpr int kCreate = 0100;
constexpr int kTruncate = 01000;
constexpr int kNonBlock = 04000;
constexpr int kDirectory = 040000;
constexpr int kLargeFile = 0400000;
constexpr int kCloseOnExec = 02000000;
constexpr int kAtCwd = -100;

constexpr int kProtRead = 1, kProtWrite = 2, kProtExec = 4;
constexpr int kMapPrivate = 2, kMapFixed = 0x10, kMapAnonymous = 0x20, kMapFixedNoReplace = 0x100000;
constexpr uint32_t kPageBytes = 4096;

constexpr long kInterrupted = -4;  // EINTR
constexpr long kExists = -17;      // EEXIST

// The parts of struct stat64 the box reads.
struct Stat {
  uint32_t mode;
  int64_t size;
  uint32_t mtime, mtime_nsec;  // the time of the last change
};
constexpr uint32_t kTypeMask = 0170000, kTypeDirectory = 0040000, kTypeRegular = 0100000;

// Directory entries as getdents64 lays them out.
constexpr size_t kDirentReclen = 16, kDirentType = 18, kDirentName = 19;
constexpr uint8_t kDtUnknown = 0, kDtDir = 4, kDtReg = 8, kDtLink = 10;

long Open(const char* path, int flags, int mode = 0);
long Mkdir(const char* path, int mode);
long Read(int fd, void* buffer, size_t bytes);
long Write(int fd, const void* buffer, size_t bytes);
long Close(int fd);
long SeekSet(int fd, int64_t offset);  // _llseek from the start
long Fstat(int fd, Stat* out);
long StatAt(int dirfd, const char* path, Stat* out);  // follows links
long Getdents64(int fd, void* buffer, size_t bytes);
void* Mmap(void* address, size_t bytes, int prot, int flags);  // anonymous; null on failure
long Munmap(void* address, size_t bytes);
void CacheFlush(void* start, void* end);  // before running code written as data
[[noreturn]] void ExitGroup(int status);

}  // namespace box::sys
