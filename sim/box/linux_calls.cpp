// SPDX-License-Identifier: MIT
// Raw system calls of ARM Linux (EABI): the call number in r7, up to six
// arguments in r0 to r5, "svc 0", the result in r0.
#include "sim/box/linux_calls.h"

namespace box::sys {
namespace {

enum Call : long {
  kRead = 3,
  kWrite = 4,
  kOpen = 5,
  kClose = 6,
  kMkdir = 39,
  kMunmap = 91,
  kLlseek = 140,
  kMmap2 = 192,
  kFstat64 = 197,
  kGetdents64 = 217,
  kExitGroup = 248,
  kFstatat64 = 327,
  kCacheFlush = 0xF0002,
};

long Call6(long number, long a, long b, long c, long d, long e, long f) {
  register long r0 asm("r0") = a;
  register long r1 asm("r1") = b;
  register long r2 asm("r2") = c;
  register long r3 asm("r3") = d;
  register long r4 asm("r4") = e;
  register long r5 asm("r5") = f;
  register long r7 asm("r7") = number;
  asm volatile("svc 0" : "+r"(r0) : "r"(r1), "r"(r2), "r"(r3), "r"(r4), "r"(r5), "r"(r7) : "memory");
  return r0;
}

long Call(long number, long a = 0, long b = 0, long c = 0, long d = 0) {
  return Call6(number, a, b, c, d, 0, 0);
}

// struct stat64 of ARM EABI: the mode at byte 16, the size at byte 48, the
// time of the last change at 80 (seconds) and 84 (nanoseconds); the whole
// record is 104 bytes.
constexpr size_t kStatBytes = 104, kStatMode = 16, kStatSize = 48, kStatMtime = 80, kStatMtimeNsec = 84;

long FillStat(long result, const uint8_t* raw, Stat* out) {
  if (result < 0) return result;
  __builtin_memcpy(&out->mode, raw + kStatMode, sizeof out->mode);
  __builtin_memcpy(&out->size, raw + kStatSize, sizeof out->size);
  __builtin_memcpy(&out->mtime, raw + kStatMtime, sizeof out->mtime);
  __builtin_memcpy(&out->mtime_nsec, raw + kStatMtimeNsec, sizeof out->mtime_nsec);
  return result;
}

}  // namespace

long Open(const char* path, int flags, int mode) {
  return Call(kOpen, (long)path, flags | kLargeFile | kCloseOnExec, mode);
}

long Mkdir(const char* path, int mode) {
  return Call(kMkdir, (long)path, mode);
}

long Read(int fd, void* buffer, size_t bytes) {
  return Call(kRead, fd, (long)buffer, (long)bytes);
}

long Write(int fd, const void* buffer, size_t bytes) {
  return Call(kWrite, fd, (long)buffer, (long)bytes);
}

long Close(int fd) {
  return Call(kClose, fd);
}

long SeekSet(int fd, int64_t offset) {
  int64_t result = 0;
  long r = Call6(kLlseek, fd, (long)(uint32_t)((uint64_t)offset >> 32), (long)(uint32_t)offset, (long)&result, 0, 0);
  return r < 0 ? r : (result == offset ? 0 : -22);
}

long Fstat(int fd, Stat* out) {
  alignas(8) uint8_t raw[kStatBytes];
  return FillStat(Call(kFstat64, fd, (long)raw), raw, out);
}

long StatAt(int dirfd, const char* path, Stat* out) {
  alignas(8) uint8_t raw[kStatBytes];
  return FillStat(Call(kFstatat64, dirfd, (long)path, (long)raw, 0), raw, out);
}

long Getdents64(int fd, void* buffer, size_t bytes) {
  return Call(kGetdents64, fd, (long)buffer, (long)bytes);
}

void* Mmap(void* address, size_t bytes, int prot, int flags) {
  long r = Call6(kMmap2, (long)address, (long)bytes, prot, flags | kMapAnonymous, -1, 0);
  // Addresses fill the whole 32 bits; only the last page's worth of values
  // are error numbers.
  if ((unsigned long)r >= (unsigned long)-4095) return nullptr;
  return (void*)r;
}

long Munmap(void* address, size_t bytes) {
  return Call(kMunmap, (long)address, (long)bytes);
}

void CacheFlush(void* start, void* end) {
  Call(kCacheFlush, (long)start, (long)end, 0);
}

void ExitGroup(int status) {
  for (;;) Call(kExitGroup, status);
}

}  // namespace box::sys
