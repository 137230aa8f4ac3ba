// SPDX-License-Identifier: MIT
#include "file_io.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zqlrc {

namespace {

std::string Failure(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + strerror(errno);
}

// Writes `bytes` whole into a new temporary file beside `path` with the
// permission bits `mode`, flushed to the disk. Its name goes to *temp; on a
// failure it is removed again.
bool WriteTemp(const std::string& path, const std::vector<uint8_t>& bytes, mode_t mode, std::string* temp,
               std::string* error) {
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string pattern = folder + "." + name + ".zqlrc-XXXXXX";
  int fd = mkstemp(pattern.data());
  if (fd < 0) {
    *error = Failure("cannot make a temporary file beside", path);
    return false;
  }
  bool good = true;
  size_t done = 0;
  while (good && done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    good = n > 0;
    if (good) done += (size_t)n;
  }
  if (!good) *error = Failure("cannot write", path);
  if (good && (fchmod(fd, mode) != 0 || fsync(fd) != 0)) {
    *error = Failure("cannot finish", path);
    good = false;
  }
  if (close(fd) != 0 && good) {
    *error = Failure("cannot finish", path);
    good = false;
  }
  if (!good) {
    unlink(pattern.c_str());
    return false;
  }
  *temp = pattern;
  return true;
}

mode_t NewFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
  bytes->clear();
  int fd = open(path.c_str(), O_RDONLY);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    *error = fd < 0 ? Failure("cannot read", path) : "cannot read " + path + ": not a regular file";
    if (fd >= 0) close(fd);
    return false;
  }
  uint8_t chunk[65536];
  for (;;) {
    ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = Failure("cannot read", path);
      close(fd);
      return false;
    }
    if (n == 0) break;
    bytes->insert(bytes->end(), chunk, chunk + n);
  }
  close(fd);
  return true;
}

NewFile WriteNewFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
  std::vector<uint8_t> there;
  struct stat st;
  if (lstat(path.c_str(), &st) == 0) {
    std::string ignored;
    return ReadWholeFile(path, &there, &ignored) && there == bytes ? NewFile::kAlreadyThere : NewFile::kExists;
  }
  std::string temp;
  if (!WriteTemp(path, bytes, NewFileMode(), &temp, error)) return NewFile::kFailed;
  // The name is taken only when nobody took it meanwhile; a file system
  // without that kind of rename gets the plain one, the check above made.
#ifdef RENAME_NOREPLACE
  int rc = renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
#else
  int rc = -1;  // the page's in-memory file system has no such rename
  errno = ENOSYS;
#endif
  if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) rc = rename(temp.c_str(), path.c_str());
  if (rc == 0) return NewFile::kWritten;
  NewFile result = errno == EEXIST ? NewFile::kExists : NewFile::kFailed;
  *error = Failure("cannot write", path);
  unlink(temp.c_str());
  return result;
}

bool ReplaceFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
  char real[PATH_MAX];
  struct stat st;
  if (realpath(path.c_str(), real) == nullptr || stat(real, &st) != 0) {
    *error = Failure("cannot find", path);
    return false;
  }
  std::string temp;
  if (!WriteTemp(real, bytes, st.st_mode & 07777, &temp, error)) return false;
  if (rename(temp.c_str(), real) != 0) {
    *error = Failure("cannot replace", path);
    unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace zqlrc
