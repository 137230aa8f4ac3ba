// SPDX-License-Identifier: MIT
// A ring of the newest file uses: which files the program looked for, opened
// and read, and which tracks the engine made playback objects for. A front
// end tells from it where the program looked for a track's lyrics and what
// it found there.
#include "sim/file_log.h"

#include "sim/framework_bytes.h"
#include "sim/internal.h"

namespace sim {
namespace {

constexpr size_t kCapacity = 32;  // a track's lyrics take at most eight
FileUseRecord g_uses[kCapacity];
size_t g_first = 0;  // index of the oldest use kept
size_t g_size = 0;

FileUseRecord& Next(FileUse use, bool ok) {
  FileUseRecord* r;
  if (g_size < kCapacity) {
    r = &g_uses[(g_first + g_size) % kCapacity];
    ++g_size;
  } else {
    r = &g_uses[g_first];
    g_first = (g_first + 1) % kCapacity;
  }
  fw::ZeroBytes(r, sizeof *r);
  r->use = use;
  r->ok = ok;
  return *r;
}

uint32_t Clamp32(uint64_t n) {
  return n > UINT32_MAX ? UINT32_MAX : (uint32_t)n;
}

}  // namespace

namespace file_log {

void NoteExists(const WCHAR* uri, bool found) {
  FileUseRecord& r = Next(FileUse::kExists, found);
  if (uri) internal::Utf16ToUtf8(uri, r.uri, sizeof r.uri);
}

void NoteOpen(const WCHAR* uri, uint16_t handle, uint64_t size) {
  FileUseRecord& r = Next(FileUse::kOpen, handle != 0);
  r.handle = handle;
  r.bytes = Clamp32(size);
  if (uri) internal::Utf16ToUtf8(uri, r.uri, sizeof r.uri);
}

void NoteRead(uint16_t handle, uint64_t position, const void* bytes, uint64_t delivered, bool whole) {
  FileUseRecord& r = Next(FileUse::kRead, whole);
  r.handle = handle;
  r.bytes = Clamp32(delivered);
  if (position != 0 || bytes == nullptr) return;
  const uint8_t* b = static_cast<const uint8_t*>(bytes);
  while (r.head_len < sizeof r.head && r.head_len < delivered) {
    r.head[r.head_len] = b[r.head_len];
    ++r.head_len;
  }
}

void NotePlay(const char* uri8) {
  FileUseRecord& r = Next(FileUse::Play, true);
  if (uri8) fw::CopyText(r.uri, sizeof r.uri, uri8);
}

void Reset() {
  g_first = 0;
  g_size = 0;
}

}  // namespace file_log

size_t FileLogSize() {
  return g_size;
}

const FileUseRecord& FileLogAt(size_t i) {
  static const FileUseRecord kNone = {};
  if (i >= g_size) return kNone;
  return g_uses[(g_first + i) % kCapacity];
}

}  // namespace sim
