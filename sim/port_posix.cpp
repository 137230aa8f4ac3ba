// SPDX-License-Identifier: MIT
// The stand-in's door to a POSIX system: the only file of the core that calls
// the operating system directly.
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "sim/port.h"

#ifndef MAP_FIXED_NOREPLACE
#define MAP_FIXED_NOREPLACE 0x100000
#endif

namespace sim::port {

int OpenRead(const char* path) {
  if (path == nullptr) return -1;
  int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  return fd < 0 ? -1 : fd;
}

int64_t FileSize(int fd) {
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0) return -1;
  return (int64_t)st.st_size;
}

int64_t Read(int fd, void* buffer, size_t bytes) {
  if (fd < 0) return -1;
  size_t done = 0;
  // A regular file may still return short reads (signals); keep going until
  // the request is met or the file ends.
  while (done < bytes) {
    ssize_t n = ::read(fd, (char*)buffer + done, bytes - done);
    if (n < 0) return done > 0 ? (int64_t)done : -1;
    if (n == 0) break;
    done += (size_t)n;
  }
  return (int64_t)done;
}

bool Seek(int fd, int64_t offset) {
  if (fd < 0 || offset < 0) return false;
  return ::lseek(fd, (off_t)offset, SEEK_SET) == (off_t)offset;
}

void Close(int fd) {
  if (fd >= 0) ::close(fd);
}

bool ExistsFile(const char* path) {
  struct stat st;
  return path != nullptr && ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

int64_t ReadableFileSize(const char* path) {
  struct stat st;
  if (path == nullptr || ::stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  if ((st.st_mode & S_IROTH) == 0 && ::faccessat(AT_FDCWD, path, R_OK, AT_EACCESS) != 0) return -1;
  return (int64_t)st.st_size;
}

bool ExistsDir(const char* path) {
  struct stat st;
  return path != nullptr && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool DirStamp(const char* path, uint64_t* stamp) {
  struct stat st;
  if (path == nullptr || ::stat(path, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  *stamp = (uint64_t)st.st_mtim.tv_sec * 1000000000u + (uint64_t)st.st_mtim.tv_nsec;
  return true;
}

// The page lists folders from a listing it keeps (sim/web/port_web.cpp).
#ifndef __EMSCRIPTEN__
bool ListDir(const char* path, DirEntryFn fn, void* ctx) {
  if (path == nullptr || fn == nullptr) return false;
  DIR* dir = ::opendir(path);
  if (dir == nullptr) return false;
  char full[4096];
  while (struct dirent* e = ::readdir(dir)) {
    if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0) continue;
    // d_type is not filled in on every file system; ask stat then. Links are
    // followed, as the phone would show the file they point to.
    bool is_dir = e->d_type == DT_DIR;
    int n = e->d_type == DT_DIR || e->d_type == DT_REG ? 0 : snprintf(full, sizeof full, "%s/%s", path, e->d_name);
    if (n > 0 && (size_t)n < sizeof full) {
      struct stat st;
      if (::stat(full, &st) == 0) is_dir = S_ISDIR(st.st_mode);
    }
    fn(e->d_name, is_dir, ctx);
  }
  ::closedir(dir);
  return true;
}
#endif  // __EMSCRIPTEN__

static bool WriteAll(int fd, const char* text, size_t length) {
  while (length > 0) {
    ssize_t n = ::write(fd, text, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text += n;
    length -= (size_t)n;
  }
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
  int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd < 0 ? -1 : fd;
}

bool Write(int fd, const void* bytes, size_t length) {
  return fd >= 0 && WriteAll(fd, static_cast<const char*>(bytes), length);
}

bool MakeDir(const char* path) {
  if (path == nullptr) return false;
  return ::mkdir(path, 0755) == 0 || ExistsDir(path);
}

// The page (Emscripten) has its own fixed memory and images: sim/web/.
#ifndef __EMSCRIPTEN__
void* MapFixed(uintptr_t address, size_t bytes) {
  long page = ::sysconf(_SC_PAGESIZE);
  if (page <= 0) page = 4096;
  uintptr_t start = address & ~(uintptr_t)(page - 1);
  size_t length = (size_t)(address + bytes - start);
  length = (length + (size_t)page - 1) & ~(size_t)(page - 1);
  // NOREPLACE: never take over memory that something else already uses.
  void* p =
      ::mmap((void*)start, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  if ((uintptr_t)p != start) {
    // An old kernel ignores the flag and treats the address as a hint.
    ::munmap(p, length);
    return nullptr;
  }
  return (void*)address;
}

namespace {

// A host image is a shared object opened from a private copy of its file:
// the dynamic loader would hand out the image already open, with its static
// state as the last run left it, when asked for the same file again.
struct HostImage {
  void* handle;
  char temp_path[32];
};

bool CopyToTemp(const char* path, char* out_path, size_t out_size) {
  static const char kTemplate[] = "/tmp/zq_image_XXXXXX";
  if (out_size < sizeof kTemplate) return false;
  int in = ::open(path, O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  memcpy(out_path, kTemplate, sizeof kTemplate);
  int out = ::mkstemp(out_path);
  if (out < 0) {
    ::close(in);
    out_path[0] = '\0';
    return false;
  }
  bool ok = true;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n < 0) {
      ok = false;
      break;
    }
    if (n == 0) break;
    ssize_t off = 0;
    while (off < n) {
      ssize_t w = ::write(out, buffer + off, (size_t)(n - off));
      if (w <= 0) {
        ok = false;
        break;
      }
      off += w;
    }
    if (!ok) break;
  }
  ::close(in);
  if (::close(out) != 0) ok = false;
  if (!ok) {
    ::unlink(out_path);
    out_path[0] = '\0';
  }
  return ok;
}

}  // namespace

void* ImageOpen(const char* path, char* why, size_t why_size) {
  auto say = [&](const char* a, const char* b) {
    if (why != nullptr && why_size > 0) snprintf(why, why_size, "%s%s", a, b);
  };
  if (path == nullptr) {
    say("no image file given", "");
    return nullptr;
  }
  auto* image = static_cast<HostImage*>(::calloc(1, sizeof(HostImage)));
  if (image == nullptr) {
    say("no memory for the image", "");
    return nullptr;
  }
  if (!CopyToTemp(path, image->temp_path, sizeof image->temp_path)) {
    say("cannot read the image file ", path);
    ::free(image);
    return nullptr;
  }
  image->handle = ::dlopen(image->temp_path, RTLD_NOW | RTLD_LOCAL);
  if (image->handle == nullptr) {
    // dlerror names the import that has no definition, after the name of
    // the file it opened: the private copy, which the user never saw and
    // which is gone at once. The image's own name stands in its place.
    const char* reason = ::dlerror();
    size_t temp_length = strlen(image->temp_path);
    if (reason != nullptr && strncmp(reason, image->temp_path, temp_length) == 0) {
      say(path, reason + temp_length);
    } else {
      say(reason != nullptr ? reason : "the dynamic loader refused ", reason != nullptr ? "" : path);
    }
    ::unlink(image->temp_path);
    ::free(image);
    return nullptr;
  }
  return image;
}

void* ImageEntry(void* image) {
  return ImageSymbol(image, "Lib");
}

void* ImageSymbol(void* image, const char* name) {
  if (image == nullptr || name == nullptr) return nullptr;
  return ::dlsym(static_cast<HostImage*>(image)->handle, name);
}

void ImageClose(void* image) {
  if (image == nullptr) return;
  auto* host = static_cast<HostImage*>(image);
  ::dlclose(host->handle);
  ::unlink(host->temp_path);
  ::free(host);
}
#endif  // __EMSCRIPTEN__

void* Allocate(size_t bytes) {
  return ::malloc(bytes == 0 ? 1 : bytes);
}
void Release(void* block) {
  ::free(block);
}

}  // namespace sim::port
