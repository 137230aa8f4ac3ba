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

long call6(long number, long a, long b, long c, long d, long e, long f) {
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

long call(long number, long a = 0, long b = 0, long c = 0, long d = 0) {
  return call6(number, a, b, c, d, 0, 0);
}

// struct stat64 of ARM EABI: the mode at byte 16, the size at byte 48, the
// time of the last change at 80 (seconds) and 84 (nanoseconds); the whole
// record is 104 bytes.
constexpr size_t kStatBytes = 104, kStatMode = 16, kStatSize = 48, kStatMtime = 80, kStatMtimeNsec = 84;

long fill_stat(long result, const uint8_t* raw, Stat* out) {
  if (result < 0) return result;
  __builtin_memcpy(&out->mode, raw + kStatMode, sizeof out->mode);
  __builtin_memcpy(&out->size, raw + kStatSize, sizeof out->size);
  __builtin_memcpy(&out->mtime, raw + kStatMtime, sizeof out->mtime);
  __builtin_memcpy(&out->mtime_nsec, raw + kStatMtimeNsec, sizeof out->mtime_nsec);
  return result;
}

}  // namespace

long open(const char* path, int flags, int mode) {
  return call(kOpen, (long)path, flags | kLargeFile | kCloseOnExec, mode);
}

long mkdir(const char* path, int mode) {
  return call(kMkdir, (long)path, mode);
}

long read(int fd, void* buffer, size_t bytes) {
  return call(kRead, fd, (long)buffer, (long)bytes);
}

long write(int fd, const void* buffer, size_t bytes) {
  return call(kWrite, fd, (long)buffer, (long)bytes);
}

long close(int fd) {
  return call(kClose, fd);
}

long seek_set(int fd, int64_t offset) {
  int64_t result = 0;
  long r = call6(kLlseek, fd, (long)(uint32_t)((uint64_t)offset >> 32), (long)(uint32_t)offset, (long)&result, 0, 0);
  return r < 0 ? r : (result == offset ? 0 : -22);
}

long fstat(int fd, Stat* out) {
  alignas(8) uint8_t raw[kStatBytes];
  return fill_stat(call(kFstat64, fd, (long)raw), raw, out);
}

long stat_at(int dirfd, const char* path, Stat* out) {
  alignas(8) uint8_t raw[kStatBytes];
  return fill_stat(call(kFstatat64, dirfd, (long)path, (long)raw, 0), raw, out);
}

long getdents64(int fd, void* buffer, size_t bytes) {
  return call(kGetdents64, fd, (long)buffer, (long)bytes);
}

void* mmap(void* address, size_t bytes, int prot, int flags) {
  long r = call6(kMmap2, (long)address, (long)bytes, prot, flags | kMapAnonymous, -1, 0);
  // Addresses fill the whole 32 bits; only the last page's worth of values
  // are error numbers.
  if ((unsigned long)r >= (unsigned long)-4095) return nullptr;
  return (void*)r;
}

long munmap(void* address, size_t bytes) {
  return call(kMunmap, (long)address, (long)bytes);
}

void cache_flush(void* start, void* end) {
  call(kCacheFlush, (long)start, (long)end, 0);
}

void exit_group(int status) {
  for (;;) call(kExitGroup, status);
}

}  // namespace box::sys
