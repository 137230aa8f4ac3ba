// SPDX-License-Identifier: MIT
// Open files of the phone's file system: a fixed table of handles, each on a
// real host file or on the GB2312 table the stand-in serves from memory.
// Files are opened for reading only; the program never writes.
#include "platform/filesystem.h"

#include "platform/firmware_vars.h"
#include "sim/file_log.h"
#include "sim/fs_faults.h"
#include "sim/fs_paths.h"
#include "sim/internal.h"
#include "sim/port.h"

namespace {

constexpr uint32_t kMaxOpenFiles = 16;
constexpr uint32_t kOk = 0;
constexpr uint32_t kBadHandle = 1;
constexpr uint32_t kBadArgument = 2;
constexpr uint32_t kIoError = 3;

struct OpenFile {
  bool used;
  int fd;                // host file, or -1 for the served table
  const uint8_t* bytes;  // served table
  uint64_t size;
  uint64_t position;
  uint16_t handle;
  bool faulty;  // a file fault set by the driver applies to it
};

OpenFile g_files[kMaxOpenFiles];
uint16_t g_generation;

// Handles carry a generation as well as the slot, so that a handle used
// after its close is refused even when the slot has been taken again.
uint16_t MakeHandle(uint32_t slot) {
  g_generation = (uint16_t)((g_generation + 1) % 2000);
  return (uint16_t)(g_generation * kMaxOpenFiles + slot + 1);
}

OpenFile* Lookup(FILE_HANDLE_T handle) {
  if (handle == 0 || handle == FS_INVALID_HANDLE) return nullptr;
  OpenFile& f = g_files[(uint32_t)(handle - 1) % kMaxOpenFiles];
  return (f.used && f.handle == handle) ? &f : nullptr;
}

// Opens the file at the URI in a free slot; FS_INVALID_HANDLE when it
// cannot.
FILE_HANDLE_T OpenByUri(const WCHAR* uri) {
  uint32_t slot = 0;
  while (slot < kMaxOpenFiles && g_files[slot].used) ++slot;
  if (slot == kMaxOpenFiles) return FS_INVALID_HANDLE;
  OpenFile f{};
  char path[sim::fs::kHostPathBytes];
  if (sim::fs::UriToHost(uri, path, sizeof path) && sim::port::ExistsFile(path)) {
    f.fd = sim::port::OpenRead(path);
    if (f.fd < 0) return FS_INVALID_HANDLE;
    int64_t size = sim::port::FileSize(f.fd);
    if (size < 0) {
      sim::port::Close(f.fd);
      return FS_INVALID_HANDLE;
    }
    f.size = (uint64_t)size;
  } else if (sim::fs::IsServedTable(uri)) {
    f.fd = -1;
    f.bytes = sim::internal::Gb2ucTable();
    f.size = GB2UC_TABLE_BYTES;
  } else {
    return FS_INVALID_HANDLE;
  }
  f.used = true;
  f.faulty = sim::fs::FaultOnFile(uri);
  f.handle = MakeHandle(slot);
  g_files[slot] = f;
  return f.handle;
}

}  // namespace

extern "C" {

uint8_t DL_FsFFileExist(const WCHAR* uri) {
  bool found = sim::fs::FileExists(uri);
  sim::file_log::NoteExists(uri, found);
  if (!found && uri != nullptr) {
    char text[sim::fs::kUriUnits * 3 + 1];
    sim::internal::Utf16ToUtf8(uri, text, sizeof text);
    sim::internal::Emit(sim::Fact::kFileMissing, 0, text);
  }
  return found ? 1 : 0;
}

FILE_HANDLE_T DL_FsOpenFile(const WCHAR* uri, uint32_t /*mode*/, uint32_t /*param*/) {
  FILE_HANDLE_T handle = sim::fs::FaultFailsOpen(uri) ? FS_INVALID_HANDLE : OpenByUri(uri);
  OpenFile* f = Lookup(handle);
  sim::file_log::NoteOpen(uri, f ? handle : 0, f ? f->size : 0);
  return handle;
}

uint32_t DL_FsGetFileSize(FILE_HANDLE_T handle) {
  OpenFile* f = Lookup(handle);
  if (f == nullptr) return 0;
  uint64_t size = sim::fs::FaultSize(f->faulty, f->size);
  return size > UINT32_MAX ? UINT32_MAX : (uint32_t)size;
}

uint32_t DL_FsFSeekFile(FILE_HANDLE_T handle, int32_t offset, uint32_t whence) {
  OpenFile* f = Lookup(handle);
  if (f == nullptr) return kBadHandle;
  int64_t base;
  switch (whence) {
    case 0:
      base = 0;
      break;
    case 1:
      base = (int64_t)f->position;
      break;
    case 2:
      base = (int64_t)f->size;
      break;
    default:
      return kBadArgument;
  }
  int64_t target = base + offset;
  if (target < 0) return kBadArgument;
  // Past the end is allowed, as with any file system; reads there find nothing.
  f->position = (uint64_t)target;
  return kOk;
}

uint32_t DL_FsReadFile(void* buffer, uint32_t item_size, uint32_t items, FILE_HANDLE_T handle, uint32_t* items_read) {
  if (items_read != nullptr) *items_read = 0;
  OpenFile* f = Lookup(handle);
  if (f == nullptr) return kBadHandle;
  uint64_t wanted = (uint64_t)item_size * items;
  if (wanted == 0) return kOk;
  if (buffer == nullptr) return kBadArgument;
  uint64_t left = f->position < f->size ? f->size - f->position : 0;
  // Only whole items count; the bytes of a last partial item are still
  // delivered, as fread does.
  uint64_t n = wanted < left ? wanted : left;
  bool fails = sim::fs::FaultCutsRead(f->faulty, &n);
  if (n > 0) {
    if (f->fd >= 0) {
      if (!sim::port::Seek(f->fd, (int64_t)f->position)) return kIoError;
      int64_t got = sim::port::Read(f->fd, buffer, (size_t)n);
      if (got < 0) return kIoError;
      n = (uint64_t)got;
    } else {
      const uint8_t* src = f->bytes + f->position;
      uint8_t* dst = (uint8_t*)buffer;
      for (uint64_t i = 0; i < n; ++i) dst[i] = src[i];
    }
  }
  sim::file_log::NoteRead(handle, f->position, buffer, n, n == wanted);
  f->position += n;
  if (fails) return sim::fs::kFaultStatus;
  if (items_read != nullptr) *items_read = (uint32_t)(n / item_size);
  return kOk;
}

uint32_t DL_FsCloseFile(FILE_HANDLE_T handle) {
  OpenFile* f = Lookup(handle);
  if (f == nullptr) return kBadHandle;
  if (f->fd >= 0) sim::port::Close(f->fd);
  *f = OpenFile{};
  return kOk;
}

}  // extern "C"

namespace sim::fs {

void FilesReset() {
  file_log::Reset();
  FaultsReset();
  for (OpenFile& f : g_files) {
    if (f.used && f.fd >= 0) port::Close(f.fd);
    f = OpenFile{};
  }
}

}  // namespace sim::fs
